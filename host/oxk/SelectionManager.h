// The selection of a scene: items in the order they were selected. Selecting or
// deselecting an annotation tells it (Annotation::OnSetSelected).
#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

#include "orrinsymbols/oxk/SelectionItem.h"

namespace oxk {

class SelectionManager : public Object {
 public:
  // Frozen flags of GetSelectedItems.
  static constexpr int32_t kOnlyOne = 1;           // at most one item
  static constexpr int32_t kInSelectionOrder = 4;  // oldest first (else newest first)

  void Select(const util::SmartPtr<SelectionItem>& item);
  void Deselect(const util::SmartPtr<SelectionItem>& item);
  void Clear();
  // The selected items of category (every item when category is empty), from index
  // first on, in the order flags ask for. False when none.
  bool GetSelectedItems(size_t first, const util::Symbol& category, std::vector<util::SmartPtr<SelectionItem>>& out,
                        int32_t flags) const;

 protected:
  ~SelectionManager() override = default;

 private:
  mutable std::mutex m_mutex;
  std::vector<util::SmartPtr<SelectionItem>> m_items;
};

}  // namespace oxk
