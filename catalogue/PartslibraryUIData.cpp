#include "catalogue/PartslibraryUIData.h"

#include <charconv>
#include <string_view>
#include <unordered_map>

#include "catalogue/UrlResolver.h"
#include "util/Utf8ToWideStr.h"

namespace oxsymbols {

const std::string PartslibraryUIData::imageString = "image";
const std::string PartslibraryUIData::olString = "ol";

PartslibraryUIData::PartslibraryUIData(const std::string& olPrefix, const std::string& imagePrefix)
    : m_imageNamePrefix(imagePrefix), m_olNamePrefix(olPrefix) {
  Clear();
}

PartslibraryUIData::PartslibraryUIData(const OlList& ols, const ImageList& images, const CategoryList& categories) {
  Construct(ols, images, categories);
}

size_t PartslibraryUIData::Refresh(const OlList& ols, const ImageList& images, const CategoryList& categories) {
  // Written over the lists as they are: the strings keep their memory from the last time.
  return Fill(0, 0, ols, images, categories);
}

size_t PartslibraryUIData::Refresh(const PartslibraryList& list) {
  return Refresh(list.GetOlList(), list.GetImageList(), list.GetCategoryList());
}

void PartslibraryUIData::Clear() {
  m_icons.clear();
  m_labels.clear();
  m_tooltips.clear();
  m_userData.clear();
  m_names.clear();
  m_groupNames.clear();
  m_groupLabels.clear();
  m_groupItems.clear();
  m_sharedItems.clear();
  m_numActualCategories = 0;
  m_numItems = 0;
}

namespace {

// Where each category's entries go in the lists: categories in list order, each with its
// shapes and then its images, each in list order. Made by counting, so that the entries
// themselves are then visited once, in list order, which is the order their objects lie
// in memory; only the places written to jump about.
class Layout {
 public:
  Layout(const OlList& ols, const ImageList& images, const CategoryList& categories, size_t base) {
    for (size_t c = 0; c < categories.size(); ++c) {
      if (categories[c]) {
        m_ordinals[categories[c]->GetID()].push_back(m_groups.size());
        m_groups.emplace_back();
      }
    }
    Count(ols, &Group::ols);
    Count(images, &Group::images);
    size_t next = base;
    for (Group& group : m_groups) {
      group.start = next;
      group.nextOl = next;
      group.nextImage = next + group.ols;
      next += group.ols + group.images;
    }
    m_end = next;
  }

  [[nodiscard]] size_t End() const { return m_end; }
  [[nodiscard]] size_t GroupCount() const { return m_groups.size(); }
  // The first place of group g and its number of entries.
  [[nodiscard]] size_t Start(size_t g) const { return m_groups[g].start; }
  [[nodiscard]] size_t Size(size_t g) const { return m_groups[g].ols + m_groups[g].images; }

  // Calls place(slot) for every place of an entry filed into category id (none, one,
  // or one per category of that identifier).
  template <class Place>
  void PlaceOl(int id, const Place& place) {
    Place_(id, &Group::nextOl, place);
  }
  template <class Place>
  void PlaceImage(int id, const Place& place) {
    Place_(id, &Group::nextImage, place);
  }
  // Where the next shape or image of category id goes, as far as is known now; npos
  // when it is not listed.
  [[nodiscard]] size_t PeekOl(int id) const { return Peek(id, &Group::nextOl); }
  [[nodiscard]] size_t PeekImage(int id) const { return Peek(id, &Group::nextImage); }
  static constexpr size_t npos = static_cast<size_t>(-1);

 private:
  struct Group {
    size_t ols = 0;
    size_t images = 0;
    size_t start = 0;
    size_t nextOl = 0;
    size_t nextImage = 0;
  };

  template <class List>
  void Count(const List& list, size_t Group::*count) {
    for (const auto& item : list) {
      if (item) {
        const auto found = m_ordinals.find(item->GetCategoryID());
        if (found != m_ordinals.end()) {
          for (const size_t g : found->second) {
            ++(m_groups[g].*count);
          }
        }
      }
    }
  }

  [[nodiscard]] size_t Peek(int id, size_t Group::*next) const {
    const auto found = m_ordinals.find(id);
    return found == m_ordinals.end() || found->second.empty() ? npos : m_groups[found->second.front()].*next;
  }

  template <class Place>
  void Place_(int id, size_t Group::*next, const Place& place) {
    const auto found = m_ordinals.find(id);
    if (found == m_ordinals.end()) {
      return;
    }
    for (const size_t g : found->second) {
      place((m_groups[g].*next)++);
    }
  }

  std::unordered_map<int, std::vector<size_t>> m_ordinals;  // category identifier to groups
  std::vector<Group> m_groups;
  size_t m_end = 0;
};

// An identifier as decimal text, without a string of its own.
std::string_view IdText(int id, char (&buffer)[16]) {
  const auto [end, error] = std::to_chars(buffer, buffer + sizeof(buffer), id);
  return std::string_view(buffer, error == std::errc() ? static_cast<size_t>(end - buffer) : 0);
}

}  // namespace

size_t PartslibraryUIData::Construct(const OlList& ols, const ImageList& images, const CategoryList& categories) {
  return Fill(m_names.size(), m_groupItems.size(), ols, images, categories);
}

size_t PartslibraryUIData::Fill(size_t base, size_t groupBase, const OlList& ols, const ImageList& images,
                                const CategoryList& categories) {
  m_numActualCategories = 0;
  if (ols.empty() && images.empty()) {
    Resize(base, groupBase);
    m_numItems = m_names.size();
    return 0;
  }
  // One resolver per library kind, so the host settings are read once per refresh.
  const detail::UrlResolver resolvers[4] = {{false, false}, {false, true}, {true, false}, {true, true}};
  const auto resolverOf = [&resolvers](const PartslibraryItem& item) -> const detail::UrlResolver& {
    return resolvers[(item.IsShared() ? 2 : 0) + (item.IsStandard() ? 1 : 0)];
  };
  Layout layout(ols, images, categories, base);
  Resize(layout.End(), groupBase + layout.GroupCount());
  for (size_t i = 0; i < ols.size(); ++i) {
    PrefetchPlaces(i, ols, [&layout](int id) { return layout.PeekOl(id); });
    if (const auto& ol = ols[i]) {
      layout.PlaceOl(ol->GetCategoryID(), [&](size_t slot) {
        WriteEntry(slot, *ol, ol->GetTitle(), ol->GetDescription(), ol->GetOlGalleryThumbnailUrl(), true,
                   resolverOf(*ol));
      });
    }
  }
  for (size_t i = 0; i < images.size(); ++i) {
    PrefetchPlaces(i, images, [&layout](int id) { return layout.PeekImage(id); });
    if (const auto& image = images[i]) {
      layout.PlaceImage(image->GetCategoryID(), [&](size_t slot) {
        WriteEntry(slot, *image, image->GetTitle(), image->GetDescription(), image->GetImageGalleryThumbnailUrl(),
                   false, resolverOf(*image));
      });
    }
  }
  size_t group = groupBase;
  for (const auto& category : categories) {
    if (!category) {
      continue;
    }
    m_groupNames[group].assign(category->GetName());
    m_groupLabels[group].clear();
    util::AppendUtf8ToWideStr(category->GetName(), m_groupLabels[group]);
    const size_t g = group - groupBase;
    m_groupItems[group].assign(layout.Size(g) > 0 ? m_names[layout.Start(g)] : std::string());
    ++group;
    ++m_numActualCategories;
  }
  // An empty category selects the first entry of the next category that has one.
  std::string carried;
  for (size_t i = m_groupItems.size(); i > groupBase; --i) {
    std::string& item = m_groupItems[i - 1];
    if (item.empty()) {
      item = carried;
    } else {
      carried = item;
    }
  }
  m_numItems = m_names.size();
  return m_numItems;
}

template <class List, class Peek>
void PartslibraryUIData::PrefetchPlaces(size_t at, const List& list, const Peek& peek) const {
  // The places an entry goes to jump from category to category, each string a load that
  // the write waits for: the strings of the entries a few ahead are asked for early, and
  // their texts a little later, so that the loads overlap.
  constexpr size_t kStringsAhead = 8;
  constexpr size_t kTextsAhead = 4;
  if (at + kStringsAhead < list.size() && list[at + kStringsAhead]) {
    const size_t slot = peek(list[at + kStringsAhead]->GetCategoryID());
    if (slot < m_names.size()) {
      __builtin_prefetch(&m_icons[slot], 1);
      __builtin_prefetch(&m_labels[slot], 1);
      __builtin_prefetch(&m_tooltips[slot], 1);
      __builtin_prefetch(&m_names[slot], 1);
      __builtin_prefetch(&m_userData[slot], 1);
    }
  }
  if (at + kTextsAhead < list.size() && list[at + kTextsAhead]) {
    const size_t slot = peek(list[at + kTextsAhead]->GetCategoryID());
    if (slot < m_names.size()) {
      __builtin_prefetch(m_icons[slot].data(), 1);
      __builtin_prefetch(m_labels[slot].data(), 1);
      __builtin_prefetch(m_tooltips[slot].data(), 1);
      __builtin_prefetch(m_names[slot].data(), 1);
    }
  }
}

void PartslibraryUIData::Resize(size_t entries, size_t groups) {
  m_icons.resize(entries);
  m_labels.resize(entries);
  m_tooltips.resize(entries);
  m_userData.resize(entries);
  m_names.resize(entries);
  m_sharedItems.resize(entries);
  m_groupNames.resize(groups);
  m_groupLabels.resize(groups);
  m_groupItems.resize(groups);
}

void PartslibraryUIData::WriteEntry(size_t slot, const PartslibraryItem& item, const std::string& title,
                                    const std::string& description, const std::string& galleryUrl, bool isOl,
                                    const detail::UrlResolver& resolver) {
  // Each string is written over in place, keeping the memory it had.
  std::string& icon = m_icons[slot];
  icon.assign(galleryUrl);
  resolver.Resolve(icon);  // the entry's own url rule, with the host settings read once
  std::wstring& label = m_labels[slot];
  label.clear();
  util::AppendUtf8ToWideStr(title, label);
  // Frozen: the host's rich-text tooltip switches bold on with "\b " and off with "\b0 ".
  std::wstring& tooltip = m_tooltips[slot];
  tooltip.assign(L"\\b ");
  util::AppendUtf8ToWideStr(title, tooltip);
  tooltip.append(L"\\b0 \n ");
  util::AppendUtf8ToWideStr(description, tooltip);
  char buffer[16];
  const std::string_view id = IdText(item.GetID(), buffer);
  std::string& name = m_names[slot];
  name.assign(isOl ? m_olNamePrefix : m_imageNamePrefix);
  name.append(item.GetName());
  name.append(id);
  std::string& userData = m_userData[slot];
  userData.assign(isOl ? olString : imageString);
  userData.push_back('.');
  userData.append(id);
  m_sharedItems[slot] = item.IsShared() || item.IsStandard();
}

}  // namespace oxsymbols
