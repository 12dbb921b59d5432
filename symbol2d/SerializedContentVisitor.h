// Reads a 2D symbol's saved content into a Symbol2DInfo, with its "sequencerTag"
// children. Keys it does not own are traced ("Unhandle ... %s\n") and ignored; bool keys
// go to the host's handler, which owns the annotation's own bool keys.
#pragma once

#include "orrinsymbols/oxk/Annotation.h"
#include "orrinsymbols/oxk/illustration/SequencerTag.h"
#include "orrinsymbols/symbol2d/Symbol2DInfo.h"
#include "orrinsymbols/util/SmartPtr.h"

namespace oxannotations::symbol2d {

class SerializedContentVisitor : public oxk::Annotation::SerializedContentVisitor {
 public:
  explicit SerializedContentVisitor(const util::SmartPtr<oxk::Annotation>& annotation)
      : oxk::Annotation::SerializedContentVisitor(annotation) {}

  [[nodiscard]] const Symbol2DInfo& GetInfo() const { return info; }

  bool StartElement(const util::Symbol& elementName) override;
  void VisitColor(const util::Symbol& key, const geo::Color& value) override;
  void VisitPoint(const util::Symbol& key, const geo::DPoint3D& value) override;
  void VisitLocation(const util::Symbol& key, const geo::Location& value) override;
  void VisitSymbol(const util::Symbol& key, const util::Symbol& value) override;
  void VisitInt(const util::Symbol& key, int32_t value) override;
  void VisitFloat(const util::Symbol& key, float value) override;
  void VisitBool(const util::Symbol& key, bool value) override;

 private:
  Symbol2DInfo info;
  util::SmartPtr<oxk::illustration::SequencerTag> currentTag;
};

}  // namespace oxannotations::symbol2d
