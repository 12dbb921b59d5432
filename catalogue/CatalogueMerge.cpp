// The merge of one catalogue list into another: how the shared and standard libraries
// become one catalogue. Categories collapse by name, incoming identifiers move past
// those already present, and entries follow their categories to the merged identifiers.
#include <algorithm>
#include <climits>
#include <memory>
#include <unordered_map>
#include <unordered_set>

#include "catalogue/IdentifierIndex.h"
#include "catalogue/PartslibraryList.h"

namespace oxsymbols {

namespace {

// Records what the merge changed, when a load report was asked for.
class MergeNotes {
 public:
  MergeNotes(LoadReport* report, LibraryOrigin origin) : m_report(report), m_origin(origin) {}

  void Note(EntryKind kind, const PartslibraryItemBase& entry, RenumberedEntry::Change change, int from, int to) const {
    if (m_report == nullptr || from == to) {
      return;
    }
    m_report->AddChange(kind, m_origin, change, entry.GetName(), entry.GetID(), from, to);
  }

 private:
  LoadReport* m_report;
  LibraryOrigin m_origin;
};

// The merge's rule for one incoming shape or image list.
template <class List>
void MergeEntries(List& into, List&& incoming, EntryKind kind, const std::unordered_map<int, int>& idRemap,
                  const CategoryList& categories, const std::unordered_set<int>& categoryIds, const MergeNotes& notes) {
  if (incoming.empty()) {
    return;
  }
  // Incoming identifiers move past every identifier before them, so they stay unique;
  // once one is the largest int nothing is past it, and a taken one becomes an unused one.
  int largest = detail::LargestIdFromZero(into);
  std::unique_ptr<detail::IdentifierSpace> used;
  into.reserve(into.size() + incoming.size());
  for (auto& entry : incoming) {
    if (!entry) {
      continue;
    }
    const int statedCategory = entry->GetCategoryID();
    const auto mapped = idRemap.find(statedCategory);
    if (mapped != idRemap.end()) {
      entry->SetCategoryID(mapped->second);
    } else if (categories.empty()) {
      entry->SetCategoryID(0);
    } else if (categoryIds.count(statedCategory) == 0) {
      entry->SetCategoryID(categories.front() ? categories.front()->GetID() : 0);
    }
    notes.Note(kind, *entry, RenumberedEntry::Change::kCategory, statedCategory, entry->GetCategoryID());

    const int stated = entry->GetID();
    const bool full = largest == INT_MAX;
    if (full && !used) {
      used = std::make_unique<detail::IdentifierSpace>(into);
    }
    if (full ? used->Contains(stated) : stated <= largest) {
      entry->SetID(detail::NextAfter(largest, [&used] { return used->SmallestUnused(); }));
    }
    if (used) {
      used->Add(entry->GetID());
    }
    notes.Note(kind, *entry, RenumberedEntry::Change::kRenumbered, stated, entry->GetID());
    largest = std::max(largest, entry->GetID());
    into.push_back(std::move(entry));
  }
}

}  // namespace

void PartslibraryList::AddPartslibraryList(const PartslibraryList& other) {
  // Copies of the reference vectors, so that merging a list into itself stays defined.
  MergeLists(other.m_categories, other.m_ols, other.m_images, nullptr, LibraryOrigin::kUser);
}

void PartslibraryList::AddPartslibraryList(PartslibraryList&& other, LoadReport* report, LibraryOrigin origin) {
  MergeLists(std::move(other.m_categories), std::move(other.m_ols), std::move(other.m_images), report, origin);
  other.Clear();
}

void PartslibraryList::MergeLists(CategoryList incomingCategories, OlList incomingOls, ImageList incomingImages,
                                  LoadReport* report, LibraryOrigin origin) {
  const MergeNotes notes(report, origin);
  std::unordered_map<int, int> idRemap;
  detail::IdentifierSpace categoryIdsInUse(m_categories);
  m_categoryById.clear();

  // Categories collapse onto the first existing category of the same name.
  std::unordered_map<std::string, util::SmartPtr<PartslibraryCategoryItem>> byName;
  byName.reserve(m_categories.size() + incomingCategories.size());
  for (const auto& category : m_categories) {
    if (category) {
      byName.emplace(category->GetName(), category);
    }
  }
  int nextCategoryId = detail::NextIdentifier(m_categories);
  for (const auto& incoming : incomingCategories) {
    if (!incoming) {
      continue;
    }
    const int oldId = incoming->GetID();
    int mergedId = 0;
    const auto found = byName.find(incoming->GetName());
    if (found != byName.end()) {
      mergedId = found->second->GetID();
    } else {
      incoming->SetID(nextCategoryId);
      categoryIdsInUse.Add(nextCategoryId);
      nextCategoryId = categoryIdsInUse.Next();
      m_categories.push_back(incoming);
      byName.emplace(incoming->GetName(), incoming);
      mergedId = incoming->GetID();
    }
    notes.Note(EntryKind::kCategory, *incoming, RenumberedEntry::Change::kRenumbered, oldId, mergedId);
    idRemap[oldId] = mergedId;
  }

  std::unordered_set<int> categoryIds;
  categoryIds.reserve(m_categories.size() * 2);
  for (const auto& category : m_categories) {
    if (category) {
      categoryIds.insert(category->GetID());
    }
  }
  MergeEntries(m_images, std::move(incomingImages), EntryKind::kImage, idRemap, m_categories, categoryIds, notes);
  MergeEntries(m_ols, std::move(incomingOls), EntryKind::kShape, idRemap, m_categories, categoryIds, notes);

  for (const auto& category : m_categories) {
    if (category) {
      m_categoryById[category->GetID()] = category;
    }
  }
}

}  // namespace oxsymbols
