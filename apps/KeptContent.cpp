#include "KeptContent.h"

#include <vector>

namespace symbols_tool {

namespace {

using oxk::SerializedContentElement;
using util::SmartPtr;

// Same name, and the same text for every symbol key both hold.
bool SameTexts(const SerializedContentElement& saved, const SerializedContentElement& written) {
  if (saved.GetName() != written.GetName()) {
    return false;
  }
  for (const auto& entry : written.GetEntries()) {
    const auto* text = entry.child ? nullptr : std::get_if<util::Symbol>(&entry.value);
    const auto* there = text != nullptr ? saved.FindProperty(entry.key) : nullptr;
    if (there != nullptr && !(*there == entry.value)) {
      return false;
    }
  }
  return true;
}

// Fills out (open) from written and saved; content nests at most
// SerializedContentElement::kMaxDepth levels, which bounds the recursion.
void MergeInto(const SmartPtr<SerializedContentElement>& out, const SerializedContentElement& saved,
               const SerializedContentElement& written) {
  std::vector<const SerializedContentElement*> savedChildren;
  for (const auto& entry : saved.GetEntries()) {
    if (entry.child) {
      savedChildren.push_back(entry.child.get());
    }
  }
  std::vector<bool> matched(savedChildren.size(), false);
  for (const auto& entry : written.GetEntries()) {
    if (!entry.child) {
      out->AddProperty(entry.key, entry.value);
      continue;
    }
    const SmartPtr<SerializedContentElement> child = out->StartContent(entry.key);
    if (!child) {
      continue;
    }
    size_t found = savedChildren.size();
    for (size_t i = 0; i < savedChildren.size() && found == savedChildren.size(); ++i) {
      if (!matched[i] && SameTexts(*savedChildren[i], *entry.child)) {
        found = i;
      }
    }
    if (found < savedChildren.size()) {
      matched[found] = true;
      MergeInto(child, *savedChildren[found], *entry.child);
    } else {
      MergeInto(child, *entry.child, *entry.child);
    }
    child->EndContent();
  }
  for (const auto& entry : saved.GetEntries()) {
    if (!entry.child && written.FindProperty(entry.key) == nullptr) {
      out->AddProperty(entry.key, entry.value);
    }
  }
  for (size_t i = 0; i < savedChildren.size(); ++i) {
    if (!matched[i]) {
      KeptContent::CopyInto(out, *savedChildren[i]);
    }
  }
}

}  // namespace

SmartPtr<SerializedContentElement> KeptContent::Merge(const SerializedContentElement& saved,
                                                      const SerializedContentElement& written) {
  const SmartPtr<SerializedContentElement> out(new SerializedContentElement(written.GetName()));
  MergeInto(out, saved, written);
  out->EndContent();
  return out;
}

void KeptContent::CopyInto(const SmartPtr<SerializedContentElement>& parent, const SerializedContentElement& element) {
  // Without recursion: pairs of (copy, original).
  std::vector<std::pair<SmartPtr<SerializedContentElement>, const SerializedContentElement*>> pending;
  if (const SmartPtr<SerializedContentElement> top = parent->StartContent(element.GetName())) {
    pending.emplace_back(top, &element);
  }
  std::vector<SmartPtr<SerializedContentElement>> made;
  while (!pending.empty()) {
    const auto [copy, original] = pending.back();
    pending.pop_back();
    made.push_back(copy);
    std::vector<std::pair<SmartPtr<SerializedContentElement>, const SerializedContentElement*>> children;
    for (const auto& entry : original->GetEntries()) {
      if (!entry.child) {
        copy->AddProperty(entry.key, entry.value);
      } else if (const SmartPtr<SerializedContentElement> child = copy->StartContent(entry.key)) {
        children.emplace_back(child, entry.child.get());
      }
    }
    pending.insert(pending.end(), children.rbegin(), children.rend());
  }
  for (const auto& copy : made) {
    copy->EndContent();
  }
}

}  // namespace symbols_tool
