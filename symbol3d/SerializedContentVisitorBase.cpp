#include "symbol3d/SerializedContentVisitorBase.h"

#include "symbol3d/SymbolContentKeys.h"

namespace oxannotations {

void SerializedContentVisitorBase::VisitSymbol(const util::Symbol& key, const util::Symbol& value) {
  SymbolInfoBase& record = GetSymbolInfo();
  if (key == symbolkeys::title) {
    record.title = value.str();
  } else if (key == symbolkeys::description) {
    record.description = value.str();
  } else if (key == symbolkeys::name) {
    record.name = value;
  } else if (key == symbolkeys::fileName) {
    record.fileName = value;
  } else if (key == symbolkeys::id) {
    record.id = value;
  } else {
    oxk::Annotation::SerializedContentVisitor::VisitSymbol(key, value);
  }
}

void SerializedContentVisitorBase::VisitBool(const util::Symbol& key, bool value) {
  SymbolInfoBase& record = GetSymbolInfo();
  if (key == symbolkeys::showTooltipTitle) {
    record.showTooltipTitle = value;
  } else if (key == symbolkeys::showTooltipDescription) {
    record.showTooltipDescription = value;
  } else {
    oxk::Annotation::SerializedContentVisitor::VisitBool(key, value);
  }
}

}  // namespace oxannotations
