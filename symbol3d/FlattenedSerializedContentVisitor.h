// Reads a flattened symbol's saved content into a SymbolInfoFlattened: the common texts
// and names, and the 2D placement "xform" (the matrix of a location). Other locations
// are ignored.
#pragma once

#include "orrinsymbols/symbol3d/SerializedContentVisitorBase.h"
#include "orrinsymbols/symbol3d/SymbolInfoFlattened.h"

namespace oxannotations {

class FlattenedSerializedContentVisitor : public SerializedContentVisitorBase {
 public:
  explicit FlattenedSerializedContentVisitor(const util::SmartPtr<oxk::Annotation>& annotation)
      : SerializedContentVisitorBase(annotation) {}

  [[nodiscard]] SymbolInfoBase& GetSymbolInfo() override { return info; }
  [[nodiscard]] const SymbolInfoFlattened& GetInfo() const { return info; }

  void VisitLocation(const util::Symbol& key, const geo::Location& value) override;

 private:
  SymbolInfoFlattened info;
};

}  // namespace oxannotations
