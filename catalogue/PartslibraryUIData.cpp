#include "catalogue/PartslibraryUIData.h"

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
  Clear();
  return Construct(ols, images, categories);
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

// Entry positions by category identifier, in list order, so that each category finds
// its entries without walking every entry.
template <class List>
std::unordered_map<int, std::vector<size_t>> ByCategory(const List& list) {
  std::unordered_map<int, std::vector<size_t>> buckets;
  for (size_t i = 0; i < list.size(); ++i) {
    if (list[i]) {
      buckets[list[i]->GetCategoryID()].push_back(i);
    }
  }
  return buckets;
}

// Entries are visited category by category, which in a large catalogue scatters the
// visits across memory. Each entry's object is requested a few entries ahead and its
// texts, which need the object, a little later, so the loads overlap instead of waiting
// one after another.
constexpr size_t kObjectsAhead = 8;
constexpr size_t kTextsAhead = 4;

template <class List>
void PrefetchAhead(const List& list, const std::vector<size_t>& bucket, size_t at) {
  if (at + kObjectsAhead < bucket.size()) {
    __builtin_prefetch(list[bucket[at + kObjectsAhead]].get());
  }
  if (at + kTextsAhead < bucket.size()) {
    const auto& item = *list[bucket[at + kTextsAhead]];
    __builtin_prefetch(item.GetTitle().data());
    __builtin_prefetch(item.GetDescription().data());
    __builtin_prefetch(item.GetName().data());
  }
}

const std::vector<size_t>& Bucket(const std::unordered_map<int, std::vector<size_t>>& buckets, int id) {
  static const std::vector<size_t> kNone;
  const auto found = buckets.find(id);
  return found == buckets.end() ? kNone : found->second;
}

}  // namespace

size_t PartslibraryUIData::Construct(const OlList& ols, const ImageList& images, const CategoryList& categories) {
  m_numActualCategories = 0;
  if (ols.empty() && images.empty()) {
    m_numItems = 0;
    return 0;
  }
  // One resolver per library kind, so the host settings are read once per refresh.
  const detail::UrlResolver resolvers[4] = {{false, false}, {false, true}, {true, false}, {true, true}};
  const auto resolverOf = [&resolvers](const PartslibraryItem& item) -> const detail::UrlResolver& {
    return resolvers[(item.IsShared() ? 2 : 0) + (item.IsStandard() ? 1 : 0)];
  };
  const size_t most = m_names.size() + ols.size() + images.size();
  m_icons.reserve(most);
  m_labels.reserve(most);
  m_tooltips.reserve(most);
  m_userData.reserve(most);
  m_names.reserve(most);
  m_sharedItems.reserve(most);
  m_groupNames.reserve(m_groupNames.size() + categories.size());
  m_groupLabels.reserve(m_groupLabels.size() + categories.size());
  m_groupItems.reserve(m_groupItems.size() + categories.size());
  const auto olsByCategory = ByCategory(ols);
  const auto imagesByCategory = ByCategory(images);
  const size_t firstGroup = m_groupItems.size();
  for (const auto& category : categories) {
    if (!category) {
      continue;
    }
    m_groupNames.push_back(category->GetName());
    m_groupLabels.push_back(util::Utf8ToWideStr(category->GetName()));
    ++m_numActualCategories;
    const size_t before = m_names.size();
    const std::vector<size_t>& olBucket = Bucket(olsByCategory, category->GetID());
    for (size_t k = 0; k < olBucket.size(); ++k) {
      PrefetchAhead(ols, olBucket, k);
      const PartslibraryOlItem& ol = *ols[olBucket[k]];
      AppendEntry(ol, ol.GetTitle(), ol.GetDescription(), ol.GetOlGalleryThumbnailUrl(), true, resolverOf(ol));
    }
    const std::vector<size_t>& imageBucket = Bucket(imagesByCategory, category->GetID());
    for (size_t k = 0; k < imageBucket.size(); ++k) {
      PrefetchAhead(images, imageBucket, k);
      const PartslibraryImageItem& image = *images[imageBucket[k]];
      AppendEntry(image, image.GetTitle(), image.GetDescription(), image.GetImageGalleryThumbnailUrl(), false,
                  resolverOf(image));
    }
    m_groupItems.push_back(m_names.size() > before ? m_names[before] : std::string());
  }
  // An empty category selects the first entry of the next category that has one.
  std::string carried;
  for (size_t i = m_groupItems.size(); i > firstGroup; --i) {
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

void PartslibraryUIData::AppendEntry(const PartslibraryItem& item, const std::string& title,
                                     const std::string& description, const std::string& galleryUrl, bool isOl,
                                     const detail::UrlResolver& resolver) {
  // The entry's own url rule, with the host settings read once per refresh.
  std::string icon = galleryUrl;
  resolver.Resolve(icon);
  m_icons.push_back(std::move(icon));
  m_labels.push_back(util::Utf8ToWideStr(title));
  // Frozen: the host's rich-text tooltip switches bold on with "\b " and off with "\b0 ".
  m_tooltips.push_back(util::Utf8ToWideStr("\\b " + title + "\\b0 \n " + description));
  const std::string id = std::to_string(item.GetID());
  m_names.push_back((isOl ? m_olNamePrefix : m_imageNamePrefix) + item.GetName() + id);
  m_userData.push_back((isOl ? olString : imageString) + "." + id);
  m_sharedItems.push_back(item.IsShared() || item.IsStandard());
}

}  // namespace oxsymbols
