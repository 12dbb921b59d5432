// Reads the common part of a symbol's saved content (texts, tooltip flags, names and
// identifier) into the record being filled; every other key goes to the host's handlers.
#pragma once

#include "orrinsymbols/oxk/Annotation.h"
#include "orrinsymbols/symbol3d/SymbolInfoBase.h"

namespace oxannotations {

class SerializedContentVisitorBase : public oxk::Annotation::SerializedContentVisitor {
 public:
  explicit SerializedContentVisitorBase(const util::SmartPtr<oxk::Annotation>& annotation)
      : oxk::Annotation::SerializedContentVisitor(annotation) {}

  // The record being filled.
  [[nodiscard]] virtual SymbolInfoBase& GetSymbolInfo() = 0;

  void VisitSymbol(const util::Symbol& key, const util::Symbol& value) override;
  void VisitBool(const util::Symbol& key, bool value) override;
};

}  // namespace oxannotations
