// Reads a 3D symbol's saved content into a SymbolInfo: placement, appearance, frames,
// and the "attachedToPart" and "sequencerTag" children.
#pragma once

#include "orrinsymbols/oxk/illustration/SequencerTag.h"
#include "orrinsymbols/symbol3d/SerializedContentVisitorBase.h"
#include "orrinsymbols/symbol3d/SymbolInfo.h"

namespace oxannotations {

class SerializedContentVisitor : public SerializedContentVisitorBase {
 public:
  explicit SerializedContentVisitor(const util::SmartPtr<oxk::Annotation>& annotation)
      : SerializedContentVisitorBase(annotation) {}

  [[nodiscard]] SymbolInfoBase& GetSymbolInfo() override { return info; }
  [[nodiscard]] const SymbolInfo& GetInfo() const { return info; }

  bool StartElement(const util::Symbol& elementName) override;
  void VisitColor(const util::Symbol& key, const geo::Color& value) override;
  void VisitQuaternion(const util::Symbol& key, const geo::Quaternion<float>& value) override;
  void VisitVector(const util::Symbol& key, const geo::DVec3& value) override;
  void VisitPoint(const util::Symbol& key, const geo::DPoint3D& value) override;
  void VisitLocation(const util::Symbol& key, const geo::Location& value) override;
  void VisitSymbol(const util::Symbol& key, const util::Symbol& value) override;
  void VisitFloat(const util::Symbol& key, float value) override;
  void VisitBool(const util::Symbol& key, bool value) override;

 private:
  SymbolInfo info;
  util::SmartPtr<oxk::illustration::SequencerTag> currentTag;
};

}  // namespace oxannotations
