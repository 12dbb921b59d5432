#include "catalogue/PartslibraryList.h"

#include <algorithm>

#include "catalogue/IdentifierIndex.h"
#include "catalogue/ReadContext.h"
#include "util/FreedMemory.h"

namespace oxsymbols {

namespace {

template <class List, class Item = typename List::value_type>
Item FindById(const List& list, int id) {
  for (const auto& entry : list) {
    if (entry && entry->GetID() == id) {
      return entry;
    }
  }
  return Item();
}

template <class List>
void EraseFirstWithId(List& list, int id) {
  auto found =
      std::find_if(list.begin(), list.end(), [id](const auto& entry) { return entry && entry->GetID() == id; });
  if (found != list.end()) {
    list.erase(found);
  }
}

}  // namespace

// ---- Construction and copying ----------------------------------------------------

PartslibraryList::PartslibraryList(const PartslibraryList& other)
    : util::RefCounted(other),
      m_units(other.m_units),
      m_information(other.m_information),
      m_categories(other.m_categories),
      m_categoryById(other.m_categoryById),
      m_ols(other.m_ols),
      m_images(other.m_images) {}

PartslibraryList::PartslibraryList(PartslibraryList&& other) noexcept
    : util::RefCounted(other),
      m_units(std::move(other.m_units)),
      m_information(std::move(other.m_information)),
      m_categories(std::move(other.m_categories)),
      m_categoryById(std::move(other.m_categoryById)),
      m_ols(std::move(other.m_ols)),
      m_images(std::move(other.m_images)) {}

PartslibraryList& PartslibraryList::operator=(const PartslibraryList& other) {
  if (this != &other) {
    m_units = other.m_units;
    m_information = other.m_information;
    m_categories = other.m_categories;
    m_categoryById = other.m_categoryById;
    m_ols = other.m_ols;
    m_images = other.m_images;
  }
  return *this;
}

PartslibraryList& PartslibraryList::operator=(PartslibraryList&& other) noexcept {
  if (this != &other) {
    m_units = std::move(other.m_units);
    m_information = std::move(other.m_information);
    m_categories = std::move(other.m_categories);
    m_categoryById = std::move(other.m_categoryById);
    m_ols = std::move(other.m_ols);
    m_images = std::move(other.m_images);
  }
  return *this;
}

PartslibraryList::~PartslibraryList() {
  Clear();
}

void PartslibraryList::Clear() {
  // Categories go first. Released through their children, entries would be freed in
  // category order, scattered across memory; the entry lists free them in the order
  // they were made, which is several times faster for a large catalogue.
  const bool large = m_ols.size() + m_images.size() >= kLargeCatalogue;
  m_categoryById.clear();
  m_categories.clear();
  m_ols.clear();
  m_images.clear();
  if (large) {
    // The memory of a large catalogue goes back to the system rather than staying with
    // the host for good. Entries another holder keeps are not freed, and not returned.
    util::FreedMemory::ReturnToSystem();
  }
}

// ---- Lookups ---------------------------------------------------------------------

util::SmartPtr<PartslibraryCategoryItem> PartslibraryList::GetCategoryFromCategoryList(const std::string& name) const {
  for (const auto& category : m_categories) {
    if (category && category->GetName() == name) {
      return category;
    }
  }
  return {};
}

util::SmartPtr<PartslibraryCategoryItem> PartslibraryList::GetCategoryFromCategoryList(int id) const {
  return FindById(m_categories, id);
}

util::SmartPtr<PartslibraryImageItem> PartslibraryList::GetImageFromImageList(int id) const {
  return FindById(m_images, id);
}

util::SmartPtr<PartslibraryOlItem> PartslibraryList::GetOlFromOlList(int id) const {
  return FindById(m_ols, id);
}

bool PartslibraryList::GetImageSequencerTagsByID(int id, SequencerTagList& out) const {
  const util::SmartPtr<PartslibraryImageItem> image = GetImageFromImageList(id);
  if (!image) {
    return false;
  }
  image->GetSequencerTags(out);
  return true;
}

bool PartslibraryList::GetOlSequencerTagsByID(int id, SequencerTagList& out) const {
  const util::SmartPtr<PartslibraryOlItem> ol = GetOlFromOlList(id);
  if (!ol) {
    return false;
  }
  ol->GetSequencerTags(out);
  return true;
}

int PartslibraryList::CalculateIdForNewCategoryInList() const {
  return detail::NextIdentifier(m_categories);
}

int PartslibraryList::CalculateIdForNewImageInList() const {
  return detail::NextIdentifier(m_images);
}

int PartslibraryList::CalculateIdForNewShapeInList() const {
  return detail::NextIdentifier(m_ols);
}

// ---- Changing --------------------------------------------------------------------

void PartslibraryList::AddCategoryItem(util::SmartPtr<PartslibraryCategoryItem> category) {
  if (!category) {
    return;
  }
  const int stated = category->GetID();
  const int id =
      m_reading != nullptr ? m_reading->index.categories.Resolve(stated) : detail::ResolveByScan(m_categories, stated);
  category->SetID(id);
  if (id != stated) {
    NoteChange(EntryKind::kCategory, *category, RenumberedEntry::Change::kRenumbered, stated, id);
  }
  m_categories.push_back(category);
  if (m_reading != nullptr) {
    m_reading->index.SetCategory(id, category.get());
  }
  m_categoryById[id] = std::move(category);
}

void PartslibraryList::AddImageItem(util::SmartPtr<PartslibraryImageItem> image) {
  if (!image) {
    return;
  }
  const int stated = image->GetID();
  const int id =
      m_reading != nullptr ? m_reading->index.images.Resolve(stated) : detail::ResolveByScan(m_images, stated);
  image->SetID(id);
  if (id != stated) {
    NoteChange(EntryKind::kImage, *image, RenumberedEntry::Change::kRenumbered, stated, id);
  }
  m_images.push_back(std::move(image));
  FileIntoCategory(util::SmartPtr<PartslibraryItem>(m_images.back()), EntryKind::kImage);
}

void PartslibraryList::AddOlItem(util::SmartPtr<PartslibraryOlItem> ol) {
  if (!ol) {
    return;
  }
  const int stated = ol->GetID();
  const int id = m_reading != nullptr ? m_reading->index.ols.Resolve(stated) : detail::ResolveByScan(m_ols, stated);
  ol->SetID(id);
  if (id != stated) {
    NoteChange(EntryKind::kShape, *ol, RenumberedEntry::Change::kRenumbered, stated, id);
  }
  m_ols.push_back(std::move(ol));
  FileIntoCategory(util::SmartPtr<PartslibraryItem>(m_ols.back()), EntryKind::kShape);
}

void PartslibraryList::DeleteImageItem(int id) {
  EraseFirstWithId(m_images, id);
}

void PartslibraryList::DeleteOlItem(int id) {
  EraseFirstWithId(m_ols, id);
}

void PartslibraryList::SetCategoryList(const CategoryList& categories) {
  if (&categories != &m_categories) {
    m_categories = categories;
  }
  m_categoryById.clear();
  for (const auto& category : m_categories) {
    if (category && category->GetID() != -1) {
      m_categoryById[category->GetID()] = category;
    }
  }
}

void PartslibraryList::AppendPartslibraryItem(util::SmartPtr<PartslibraryItem> item) {
  const EntryKind kind =
      dynamic_cast<const PartslibraryImageItem*>(item.get()) != nullptr ? EntryKind::kImage : EntryKind::kShape;
  FileIntoCategory(std::move(item), kind);
}

void PartslibraryList::FileIntoCategory(util::SmartPtr<PartslibraryItem> item, EntryKind kind) {
  if (!item || item->GetCategoryID() == -1) {
    return;
  }
  if (m_reading != nullptr) {
    if (PartslibraryCategoryItem* category = m_reading->index.FindCategory(item->GetCategoryID())) {
      category->AppendChild(std::move(item));
      return;
    }
  }
  const auto found = m_categoryById.find(item->GetCategoryID());
  if (found != m_categoryById.end()) {
    if (found->second) {
      found->second->AppendChild(std::move(item));
    }
    return;
  }
  // An unknown category: the entry goes to the category with the smallest identifier.
  for (const auto& [id, category] : m_categoryById) {
    if (category) {
      NoteChange(kind, *item, RenumberedEntry::Change::kCategory, item->GetCategoryID(), id);
      item->SetCategoryID(id);
      category->AppendChild(item);
      return;
    }
  }
}

void PartslibraryList::NoteChange(EntryKind kind, const PartslibraryItemBase& entry, RenumberedEntry::Change change,
                                  int from, int to) const {
  if (m_reading == nullptr || m_reading->report == nullptr) {
    return;
  }
  // A new identifier for one that was free before the file: used twice in the file.
  if (change == RenumberedEntry::Change::kRenumbered && !m_reading->Before(kind).Contains(from)) {
    change = RenumberedEntry::Change::kDuplicateId;
  }
  m_reading->report->AddChange(kind, m_reading->origin, change, entry.GetName(), entry.GetID(), from, to);
}

}  // namespace oxsymbols
