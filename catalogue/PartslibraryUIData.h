// A flattened, display-ready snapshot of the catalogue for the host's picker dialogs:
// parallel per-entry lists (icon, label, tooltip, user data, name, shared flag) and
// per-category lists (name, label, entry to select first). It copies strings only, so
// it stays valid when the catalogue changes; Refresh brings it up to date, writing over
// the strings it has, and visits the catalogue's entries in their own order, so that
// the cost per entry does not climb with the size of the catalogue.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "orrinsymbols/catalogue/PartslibraryList.h"
#include "orrinsymbols/common/Export.h"
#include "orrinsymbols/util/RefCounted.h"

namespace oxsymbols {

namespace detail {
class UrlResolver;
}

class OXSYMBOLS_EXPORT PartslibraryUIData : public util::RefCounted {
 public:
  // Frozen: the kinds named in user data ("ol.12", "image.3").
  static const std::string imageString;
  static const std::string olString;

  PartslibraryUIData(const std::string& olPrefix, const std::string& imagePrefix);
  PartslibraryUIData(const OlList& ols, const ImageList& images, const CategoryList& categories);
  PartslibraryUIData(const PartslibraryUIData&) = default;
  PartslibraryUIData(PartslibraryUIData&&) = default;
  PartslibraryUIData& operator=(const PartslibraryUIData&) = default;
  PartslibraryUIData& operator=(PartslibraryUIData&&) = default;
  ~PartslibraryUIData() override = default;

  // Rebuilds the lists; returns the number of listed entries.
  size_t Refresh(const OlList& ols, const ImageList& images, const CategoryList& categories);
  size_t Refresh(const PartslibraryList& list);
  // Empties every list; the name prefixes stay.
  void Clear();

  [[nodiscard]] const std::vector<std::string>& GetIcons() const { return m_icons; }
  [[nodiscard]] const std::vector<std::wstring>& GetLabels() const { return m_labels; }
  [[nodiscard]] const std::vector<std::wstring>& GetTooltips() const { return m_tooltips; }
  [[nodiscard]] const std::vector<std::string>& GetUserData() const { return m_userData; }
  [[nodiscard]] const std::vector<std::string>& GetNames() const { return m_names; }
  [[nodiscard]] const std::vector<std::string>& GetGroupNames() const { return m_groupNames; }
  [[nodiscard]] const std::vector<std::wstring>& GetGroupLabels() const { return m_groupLabels; }
  [[nodiscard]] const std::vector<std::string>& GetgroupItems() const { return m_groupItems; }
  [[nodiscard]] const std::vector<bool>& GetSharedItems() const { return m_sharedItems; }

  [[nodiscard]] size_t GetNumIcons() const { return m_icons.size(); }
  [[nodiscard]] size_t GetNumLabels() const { return m_labels.size(); }
  [[nodiscard]] size_t GetNumTooltips() const { return m_tooltips.size(); }
  [[nodiscard]] size_t GetNumUserData() const { return m_userData.size(); }
  [[nodiscard]] size_t GetNumNames() const { return m_names.size(); }
  [[nodiscard]] size_t GetNumGroupNames() const { return m_groupNames.size(); }
  [[nodiscard]] size_t GetNumGroupLabels() const { return m_groupLabels.size(); }
  [[nodiscard]] size_t GetNumgroupItems() const { return m_groupItems.size(); }
  [[nodiscard]] size_t GetNumItems() const { return m_numItems; }
  [[nodiscard]] size_t GetNumActualCategories() const { return m_numActualCategories; }

 protected:
  PartslibraryUIData() = default;
  // Appends to the lists (callers clear first); returns the number of listed entries.
  size_t Construct(const OlList& ols, const ImageList& images, const CategoryList& categories);

 private:
  // Lays the lists out from entry base and category groupBase on, written over in place;
  // returns the number of entries listed there.
  size_t Fill(size_t base, size_t groupBase, const OlList& ols, const ImageList& images,
              const CategoryList& categories);
  void Resize(size_t entries, size_t groups);
  template <class List, class Peek>
  void PrefetchPlaces(size_t at, const List& list, const Peek& peek) const;
  void WriteEntry(size_t slot, const PartslibraryItem& item, const std::string& title, const std::string& description,
                  const std::string& galleryUrl, bool isOl, const detail::UrlResolver& resolver);

  std::vector<std::string> m_icons;
  std::vector<std::wstring> m_labels;
  std::vector<std::wstring> m_tooltips;
  std::vector<std::string> m_userData;
  std::vector<std::string> m_names;
  std::vector<std::string> m_groupNames;
  std::vector<std::wstring> m_groupLabels;
  std::vector<std::string> m_groupItems;
  std::vector<bool> m_sharedItems;
  size_t m_numActualCategories = 0;
  size_t m_numItems = 0;
  std::string m_imageNamePrefix;
  std::string m_olNamePrefix;
};

}  // namespace oxsymbols
