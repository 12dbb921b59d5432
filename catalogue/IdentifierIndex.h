// Identifiers in use, for the rules that keep them unique: while a file is read (a load
// adds thousands of entries, and the add operations' clash rule would otherwise scan
// the whole list for each of them) and where the next free identifier would pass the
// largest 32-bit value.
#pragma once

#include <climits>
#include <cstddef>
#include <cstdint>
#include <unordered_set>
#include <vector>

#include "orrinsymbols/catalogue/PartslibraryCategoryItem.h"

namespace oxsymbols::detail {

// The rule for a new identifier: one more than the largest in use; when that would pass
// the largest int, the smallest identifier not in use, which smallestUnused() finds (a
// walk, so it is asked for only then).
template <class SmallestUnused>
[[nodiscard]] int NextAfter(int largest, SmallestUnused&& smallestUnused) {
  return largest < INT_MAX ? largest + 1 : smallestUnused();
}

// The identifiers of one kind of entry. Those in files are small and dense, so a bit
// each covers them without an allocation per identifier; any others go to a hash set.
class IdentifierSpace {
 public:
  IdentifierSpace() = default;
  template <class List>
  explicit IdentifierSpace(const List& list) {
    for (const auto& entry : list) {
      if (entry) {
        Add(entry->GetID());
      }
    }
  }

  [[nodiscard]] bool Contains(int id) const;
  void Add(int id);
  // The identifier an incoming entry ends up with under the clash rule (a taken one
  // becomes the next free one), recorded as used.
  int Resolve(int id);
  // One more than the largest in use; when that would pass the largest int, the
  // smallest positive identifier not in use.
  [[nodiscard]] int Next() const;
  [[nodiscard]] int SmallestUnused() const;

 private:
  static constexpr int kDenseLimit = 1 << 24;

  std::vector<uint64_t> m_bits;
  std::unordered_set<int> m_sparse;
  int m_largest = 0;
  bool m_any = false;
};

// NextAfter for a list without an index.
template <class List>
[[nodiscard]] int NextAfterInList(int largest, const List& list) {
  return NextAfter(largest, [&list] { return IdentifierSpace(list).SmallestUnused(); });
}

// The largest identifier in a list, counted from 0: never negative.
template <class List>
[[nodiscard]] int LargestIdFromZero(const List& list) {
  int largest = 0;
  for (const auto& entry : list) {
    if (entry && entry->GetID() > largest) {
      largest = entry->GetID();
    }
  }
  return largest;
}

// The next identifier after the largest in a list (counted from 0), without an index.
template <class List>
[[nodiscard]] int NextIdentifier(const List& list) {
  return NextAfterInList(LargestIdFromZero(list), list);
}

// The clash rule by a plain scan: a taken identifier becomes the largest in use plus
// one (or an unused one past the largest int).
template <class List>
int ResolveByScan(const List& list, int id) {
  bool taken = false;
  bool any = false;
  int largest = 0;
  for (const auto& entry : list) {
    if (!entry) {
      continue;
    }
    const int existing = entry->GetID();
    taken = taken || existing == id;
    if (!any || existing > largest) {
      largest = existing;
      any = true;
    }
  }
  return taken ? NextAfterInList(largest, list) : id;
}

// The three identifier spaces of a list while a file is read into it, and a mirror of
// its category map for identifiers in a dense range, so that filing each entry of a file
// is one look-up instead of a walk down the map.
class IdentifierIndex {
 public:
  template <class Categories, class Ols, class Images, class CategoryMap>
  IdentifierIndex(const Categories& categoryList, const Ols& olList, const Images& imageList,
                  const CategoryMap& categoryMap)
      : categories(categoryList), ols(olList), images(imageList) {
    for (const auto& [id, category] : categoryMap) {
      SetCategory(id, category.get());
    }
  }

  void SetCategory(int id, PartslibraryCategoryItem* category);
  // Null: not mirrored, look in the map.
  [[nodiscard]] PartslibraryCategoryItem* FindCategory(int id) const {
    const auto at = static_cast<size_t>(id);
    return id >= 0 && at < m_categoryById.size() ? m_categoryById[at] : nullptr;
  }

  IdentifierSpace categories;
  IdentifierSpace ols;
  IdentifierSpace images;

 private:
  static constexpr int kDenseCategories = 1 << 16;  // at most half a megabyte of pointers
  std::vector<PartslibraryCategoryItem*> m_categoryById;
};

}  // namespace oxsymbols::detail
