#include "symbol3d/SymbolAnnotationBase.h"

#include "common/ModuleLocalizer.h"
#include "conc/ReadGuard.h"
#include "orbis/UserDataIds.h"
#include "oxannotations/ConstStrings.h"
#include "symbol3d/SymbolContentKeys.h"
#include "util/MessageArgs.h"
#include "util/UserData.h"

namespace oxannotations {

SymbolAnnotationBase::SymbolAnnotationBase() : Annotation(kAnnotationType) {
  SetPreselectionCursor(ConstStrings::oxDistancePreselectionCursor);
}

SymbolAnnotationBase::SymbolAnnotationBase(const SymbolAnnotationBase& other)
    : util::RefCounted(other),
      Annotation(other),
      title(other.title),
      description(other.description),
      showTooltipTitle(other.showTooltipTitle),
      showTooltipDescription(other.showTooltipDescription),
      fileName(other.fileName),
      name(other.name),
      id(other.id) {
  SetPreselectionCursor(ConstStrings::oxDistancePreselectionCursor);
}

SymbolAnnotationBase::~SymbolAnnotationBase() = default;

void SymbolAnnotationBase::SetTitle(const std::string& text, bool show) {
  try {
    title = util::Symbol(text);
    showTooltipTitle = show;
  } catch (...) {
    // Memory ran short: the title stays as it was.
  }
}

void SymbolAnnotationBase::SetDescription(const std::string& text, bool show) {
  try {
    description = util::Symbol(text);
    showTooltipDescription = show;
  } catch (...) {
    // Memory ran short: the description stays as it was.
  }
}

void SymbolAnnotationBase::SetName(const util::Symbol& newFileName, const util::Symbol& newName) {
  fileName = newFileName;
  name = newName;
}

void SymbolAnnotationBase::_SetSymbolInfo(const SymbolInfoBase& record) {
  title = util::Symbol(record.title);
  description = util::Symbol(record.description);
  showTooltipTitle = record.showTooltipTitle;
  showTooltipDescription = record.showTooltipDescription;
  fileName = record.fileName;
  name = record.name;
  id = record.id;
  if (record.title.empty()) {
    title = record.name;
  }
}

bool SymbolAnnotationBase::MarkupUpdated(const util::SmartPtr<oxk::Markup>& /*markup*/,
                                         const util::SmartPtr<oxk::Markup>& /*previous*/,
                                         const util::SmartPtr<oxk::Operation>& /*operation*/) {
  return true;
}

bool SymbolAnnotationBase::AllowGroupDrag() const {
  return false;
}

util::Symbol SymbolAnnotationBase::GetIconName() const {
  return ConstStrings::oxDistanceIcon;
}

void SymbolAnnotationBase::Visit(const util::SmartPtr<oxk::SerializedContentElement>& element) {
  try {
    conc::ReadGuard guard(GetRWLock());
    if (!element || !HasContent()) {
      return;
    }
    util::SmartPtr<oxk::SerializedContentElement> child = element->StartContent(GetClass());
    if (!child) {
      return;
    }
    SerializeContent(child);
    child->EndContent();
  } catch (...) {
    // Memory ran short: the content stays incomplete rather than the host failing.
  }
}

void SymbolAnnotationBase::GetMarkupLocation(int32_t /*index*/, geo::Location& /*location*/) const {}

void SymbolAnnotationBase::SetMarkupLocation(int32_t /*index*/, const geo::Location& /*location*/) {}

int32_t SymbolAnnotationBase::NumberOfMarkups() const {
  return 0;
}

std::string SymbolAnnotationBase::GetMarkupName(int32_t index) const {
  try {
    return oxcommon::ModuleLocalizer().LocalizeMessage("5601", util::AssembleArgs("%d", index + 1));
  } catch (...) {
    return {};
  }
}

void SymbolAnnotationBase::SerializeContent(const util::SmartPtr<oxk::SerializedContentElement>& element) {
  using Value = oxk::SerializedContentElement::Value;
  oxk::Annotation::Visit(element);
  element->AddProperty(symbolkeys::title, Value(title));
  element->AddProperty(symbolkeys::description, Value(description));
  element->AddProperty(symbolkeys::showTooltipTitle, Value(showTooltipTitle));
  element->AddProperty(symbolkeys::showTooltipDescription, Value(showTooltipDescription));
  element->AddProperty(symbolkeys::name, Value(name));
  element->AddProperty(symbolkeys::fileName, Value(fileName));
  element->AddProperty(symbolkeys::id, Value(id));
}

std::string SymbolAnnotationBase::GetObjectDescription() const {
  try {
    conc::ReadGuard guard(GetRWLock());
    std::string text = oxcommon::ModuleLocalizer().LocalizeMessage("2047");
    text += "-";
    if (!title.empty()) {
      text += title.str();
    }
    return text;
  } catch (...) {
    return {};
  }
}

util::Symbol SymbolAnnotationBase::GetSymbolFileName() {
  return symbolkeys::fileName;
}

int32_t SymbolAnnotationBase::GetUserDataId() {
  static const int32_t id = util::UserData::GetId(orbis::Orbis3DSymbolUserDataId);
  return id;
}

int32_t SymbolAnnotationBase::GetBaseEventId() {
  return oxk::Observable::GetNextEventId();
}

}  // namespace oxannotations
