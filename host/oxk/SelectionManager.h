// The selection of a scene: items in the order they were selected.
#pragma once

#include <mutex>
#include <vector>

#include "oxk/SelectionItem.h"

namespace oxk {

class SelectionManager : public Object {
 public:
  void Select(const util::SmartPtr<SelectionItem>& item);
  void Deselect(const util::SmartPtr<SelectionItem>& item);
  void Clear();
  // The selected items of category (every item when category is empty), in selection
  // order, from index first on, at most limit of them (0: no limit). False when none.
  bool GetSelectedItems(size_t first, const util::Symbol& category, std::vector<util::SmartPtr<SelectionItem>>& out,
                        size_t limit) const;

 protected:
  ~SelectionManager() override = default;

 private:
  mutable std::mutex m_mutex;
  std::vector<util::SmartPtr<SelectionItem>> m_items;
};

}  // namespace oxk
