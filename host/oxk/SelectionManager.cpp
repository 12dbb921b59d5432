#include "oxk/SelectionManager.h"

#include <algorithm>

namespace oxk {

namespace mcad_selection {
const util::Symbol Annotation("mcad_selection::Annotation");
const util::Symbol Part("mcad_selection::Part");
}  // namespace mcad_selection

void SelectionManager::Select(const util::SmartPtr<SelectionItem>& item) {
  std::lock_guard<std::mutex> guard(m_mutex);
  if (item && std::find(m_items.begin(), m_items.end(), item) == m_items.end()) {
    m_items.push_back(item);
  }
}

void SelectionManager::Deselect(const util::SmartPtr<SelectionItem>& item) {
  std::lock_guard<std::mutex> guard(m_mutex);
  m_items.erase(std::remove(m_items.begin(), m_items.end(), item), m_items.end());
}

void SelectionManager::Clear() {
  std::lock_guard<std::mutex> guard(m_mutex);
  m_items.clear();
}

bool SelectionManager::GetSelectedItems(size_t first, const util::Symbol& category,
                                        std::vector<util::SmartPtr<SelectionItem>>& out, size_t limit) const {
  std::lock_guard<std::mutex> guard(m_mutex);
  out.clear();
  size_t index = 0;
  for (const auto& item : m_items) {
    if (!category.empty() && !(item->GetTypeSymbol() == category)) {
      continue;
    }
    if (index++ < first) {
      continue;
    }
    if (limit != 0 && out.size() == limit) {
      break;
    }
    out.push_back(item);
  }
  return !out.empty();
}

}  // namespace oxk
