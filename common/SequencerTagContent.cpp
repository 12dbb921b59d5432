#include "common/SequencerTagContent.h"

#include "symbol3d/SymbolContentKeys.h"

namespace oxcommon {

namespace k = oxannotations::symbolkeys;
using oxk::illustration::SequencerTag;
using Value = oxk::SerializedContentElement::Value;

void WriteSequencerTags(const util::SmartPtr<oxk::SerializedContentElement>& element, const SequencerTagList& tags) {
  for (const auto& tag : tags) {
    const util::SmartPtr<oxk::SerializedContentElement> child = element->StartContent(k::sequencerTag);
    if (!child || !tag) {
      continue;
    }
    child->AddProperty(k::sequencerTagType, Value(SequencerTag::GetSymbolForType(tag->GetType())));
    child->AddProperty(k::sequencerTagDescription, Value(util::Symbol(tag->GetDescription())));
    child->AddProperty(k::sequencerTagName, Value(util::Symbol(tag->GetName())));
    child->AddProperty(k::sequencerTagUnits, Value(util::Symbol(tag->GetUnits())));
    child->AddProperty(k::sequencerTagQuantity, Value(util::Symbol(tag->GetQuantityString())));
    child->EndContent();
  }
}

bool ReadSequencerTagProperty(const util::SmartPtr<SequencerTag>& tag, const util::Symbol& key,
                              const util::Symbol& value) {
  const bool tagKey = key == k::sequencerTagType || key == k::sequencerTagDescription || key == k::sequencerTagName ||
                      key == k::sequencerTagUnits || key == k::sequencerTagQuantity;
  if (!tagKey) {
    return false;
  }
  if (!tag) {
    return true;  // a tag property outside any tag element
  }
  if (key == k::sequencerTagType) {
    tag->SetType(SequencerTag::GetTypeForSymbol(value));
  } else if (key == k::sequencerTagDescription) {
    tag->SetDescription(value.str());
  } else if (key == k::sequencerTagName) {
    tag->SetName(value.str());
  } else if (key == k::sequencerTagUnits) {
    tag->SetUnits(value.str());
  } else {
    tag->SetQuantityString(value.str());
  }
  return true;
}

}  // namespace oxcommon
