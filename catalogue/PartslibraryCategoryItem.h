// A category of the symbol catalogue: a named group whose children are the shape and
// image entries filed into it (the same objects the catalogue list holds).
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "orrinsymbols/catalogue/PartslibraryItem.h"
#include "orrinsymbols/common/Export.h"
#include "orrinsymbols/util/SmartPtr.h"

namespace oxsymbols {

class OXSYMBOLS_EXPORT PartslibraryCategoryItem : public PartslibraryItemBase {
 public:
  explicit PartslibraryCategoryItem(bool isShared = false, bool isStandard = false)
      : PartslibraryItemBase(isShared, isStandard) {}
  PartslibraryCategoryItem(const PartslibraryCategoryItem&) = default;
  PartslibraryCategoryItem(PartslibraryCategoryItem&&) = default;
  PartslibraryCategoryItem& operator=(const PartslibraryCategoryItem&) = default;
  PartslibraryCategoryItem& operator=(PartslibraryCategoryItem&&) = default;
  ~PartslibraryCategoryItem() override = default;

  [[nodiscard]] int GetCatID() const { return GetID(); }
  void SetCatId(int id) { SetID(id); }
  [[nodiscard]] const std::string& GetCatName() const { return GetName(); }
  void SetCatName(std::string name) { SetName(std::move(name)); }
  [[nodiscard]] const std::string& GetCatTooltip() const { return m_tooltip; }
  void SetCatTooltip(std::string tooltip) { m_tooltip = std::move(tooltip); }
  [[nodiscard]] const std::string& GetCatDescription() const { return m_description; }
  void SetCatDescription(std::string description) { m_description = std::move(description); }

  [[nodiscard]] const std::vector<util::SmartPtr<PartslibraryItem>>& GetChildren() const { return m_children; }
  // No duplicate check: the catalogue decides what is filed where.
  void AppendChild(const util::SmartPtr<PartslibraryItem>& child) { m_children.push_back(child); }
  void AppendChild(util::SmartPtr<PartslibraryItem>&& child) { m_children.push_back(std::move(child)); }
  // Removes the first child with that identifier; false when there is none.
  bool RemoveChild(int id);

 private:
  std::string m_tooltip;
  std::string m_description;
  std::vector<util::SmartPtr<PartslibraryItem>> m_children;
};

}  // namespace oxsymbols
