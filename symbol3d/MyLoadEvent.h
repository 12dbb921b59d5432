// The load event of a 3D symbol's shape (or of a connected part's shape, or of the
// placement preview). Its completion marks the symbol loaded or failed, cleans up, and
// completes the caller's event; it runs on the loader's completion thread and takes no
// lock of the annotation itself.
#pragma once

#include "orrinsymbols/oxloader/ShapeLoaderEvent.h"
#include "orrinsymbols/util/SmartPtr.h"

namespace oxannotations {

class SymbolAnnotation;

class MyLoadEvent : public oxloader::ShapeLoaderEvent {
 public:
  // parent: the caller's event to complete with this load, or null.
  MyLoadEvent(const util::SmartPtr<SymbolAnnotation>& owner, oxk::AsyncEvent* parent, bool ignore, bool partLoad);

  void OnLoadProgress(int percent) override;
  void OnLoadComplete(int status) override;

 protected:
  ~MyLoadEvent() override;

 private:
  util::SmartPtr<SymbolAnnotation> annotation;
  // Counted until the load completes: the annotation may replace (and let go of) the
  // caller's event while this load still runs.
  util::SmartPtr<oxk::AsyncEvent> parentEvent;
  bool ignoreCompletion;
  bool connectedPartLoad;
};

}  // namespace oxannotations
