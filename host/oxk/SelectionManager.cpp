#include "oxk/SelectionManager.h"

#include <algorithm>

#include "oxk/Annotation.h"

namespace oxk {

namespace mcad_selection {
const util::Symbol Annotation("mcad_selection::Annotation");
const util::Symbol Part("mcad_selection::Part");
}  // namespace mcad_selection

namespace {

// Tells the annotation an item selects, if it selects one. Called outside the lock: the
// annotation may look at the selection.
void TellAnnotation(const util::SmartPtr<SelectionItem>& item, bool selected) {
  const auto* objectItem = dynamic_cast<const ObjectSelectionItem*>(item.get());
  if (objectItem == nullptr) {
    return;
  }
  if (auto* annotation = dynamic_cast<Annotation*>(objectItem->GetObject().get())) {
    annotation->OnSetSelected(selected, {});
  }
}

}  // namespace

void SelectionManager::Select(const util::SmartPtr<SelectionItem>& item) {
  {
    std::lock_guard<std::mutex> guard(m_mutex);
    if (!item || std::find(m_items.begin(), m_items.end(), item) != m_items.end()) {
      return;
    }
    m_items.push_back(item);
  }
  TellAnnotation(item, true);
}

void SelectionManager::Deselect(const util::SmartPtr<SelectionItem>& item) {
  {
    std::lock_guard<std::mutex> guard(m_mutex);
    auto found = std::find(m_items.begin(), m_items.end(), item);
    if (found == m_items.end()) {
      return;
    }
    m_items.erase(found);
  }
  TellAnnotation(item, false);
}

void SelectionManager::Clear() {
  std::vector<util::SmartPtr<SelectionItem>> cleared;
  {
    std::lock_guard<std::mutex> guard(m_mutex);
    cleared.swap(m_items);
  }
  for (const auto& item : cleared) {
    TellAnnotation(item, false);
  }
}

bool SelectionManager::GetSelectedItems(size_t first, const util::Symbol& category,
                                        std::vector<util::SmartPtr<SelectionItem>>& out, int32_t flags) const {
  std::lock_guard<std::mutex> guard(m_mutex);
  out.clear();
  size_t index = 0;
  auto take = [&](const util::SmartPtr<SelectionItem>& item) {
    if (!category.empty() && !(item->GetTypeSymbol() == category)) {
      return true;
    }
    if (index++ < first) {
      return true;
    }
    out.push_back(item);
    return (flags & kOnlyOne) == 0;
  };
  if ((flags & kInSelectionOrder) != 0) {
    for (auto it = m_items.begin(); it != m_items.end() && take(*it); ++it) {
    }
  } else {
    for (auto it = m_items.rbegin(); it != m_items.rend() && take(*it); ++it) {
    }
  }
  return !out.empty();
}

}  // namespace oxk
