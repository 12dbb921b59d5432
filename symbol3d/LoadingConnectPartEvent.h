// Waits for the geometry of a connected part (every member load of the set), then moves
// the symbol with the part or records its offsets.
#pragma once

#include "orrinsymbols/oxk/AsyncEventSet.h"
#include "orrinsymbols/oxk/ShapeInstance.h"
#include "orrinsymbols/util/SmartPtr.h"

namespace oxannotations {

class SymbolAnnotation;

class LoadingConnectPartEvent : public oxk::AsyncEventSet {
 public:
  LoadingConnectPartEvent(const util::SmartPtr<oxk::ShapeInstance>& part, const util::SmartPtr<SymbolAnnotation>& owner,
                          bool update, bool offset);

 protected:
  ~LoadingConnectPartEvent() override;
  void OnComplete(int status) override;

 private:
  util::SmartPtr<oxk::ShapeInstance> partShapeInstance;
  util::SmartPtr<SymbolAnnotation> annotation;
  bool updateLocation;
  bool useOffset;
};

}  // namespace oxannotations
