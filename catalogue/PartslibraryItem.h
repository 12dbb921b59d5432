// A catalogue entry that is filed into a category (3D shapes and 2D images), and the
// rule that turns the relative file locations stored in library files into absolute ones.
#pragma once

#include <string>

#include "orrinsymbols/catalogue/PartslibraryItemBase.h"
#include "orrinsymbols/common/Export.h"

namespace oxsymbols {

class OXSYMBOLS_EXPORT PartslibraryItem : public PartslibraryItemBase {
 public:
  ~PartslibraryItem() override = default;

  // -1 files the entry into no category.
  [[nodiscard]] int GetCategoryID() const { return m_categoryId; }
  void SetCategoryID(int id) { m_categoryId = id; }

  // Makes a relative url absolute against the folder that holds this entry's library
  // folder: the shared cache folder for shared entries, the illustration base otherwise.
  void CheckRelativeUrlAndConcatIfNeeded(std::string& url) const;

 protected:
  PartslibraryItem(bool isShared, bool isStandard) : PartslibraryItemBase(isShared, isStandard) {}
  PartslibraryItem(const PartslibraryItem&) = default;
  PartslibraryItem(PartslibraryItem&&) = default;
  PartslibraryItem& operator=(const PartslibraryItem&) = default;
  PartslibraryItem& operator=(PartslibraryItem&&) = default;

 private:
  int m_categoryId = 0;
};

}  // namespace oxsymbols
