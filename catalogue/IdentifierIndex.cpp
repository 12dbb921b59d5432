#include "catalogue/IdentifierIndex.h"

#include <algorithm>

namespace oxsymbols::detail {

namespace {

// Grows a table indexed by identifier so that index is inside it, doubling at least.
template <class T>
void GrowToHold(std::vector<T>& table, size_t index) {
  if (index >= table.size()) {
    table.resize(std::max(index + 1, table.size() * 2), T{});
  }
}

}  // namespace

bool IdentifierSpace::Contains(int id) const {
  if (id >= 0 && id < kDenseLimit) {
    const auto word = static_cast<size_t>(id) / 64;
    return word < m_bits.size() && (m_bits[word] >> (id % 64) & 1u) != 0;
  }
  return m_sparse.count(id) != 0;
}

void IdentifierSpace::Add(int id) {
  if (!m_any || id > m_largest) {
    m_largest = id;
    m_any = true;
  }
  if (id >= 0 && id < kDenseLimit) {
    const auto word = static_cast<size_t>(id) / 64;
    GrowToHold(m_bits, word);
    m_bits[word] |= uint64_t{1} << (id % 64);
    return;
  }
  m_sparse.insert(id);
}

int IdentifierSpace::Resolve(int id) {
  if (Contains(id)) {
    id = Next();
  }
  Add(id);
  return id;
}

int IdentifierSpace::Next() const {
  return NextAfter(m_largest, [this] { return SmallestUnused(); });
}

int IdentifierSpace::SmallestUnused() const {
  // Runs only once identifiers reach the largest int, so a walk is fine.
  for (int id = 1; id < INT_MAX; ++id) {
    if (!Contains(id)) {
      return id;
    }
  }
  for (int id = 0; id > INT_MIN; --id) {
    if (!Contains(id)) {
      return id;
    }
  }
  return INT_MIN;
}

void IdentifierIndex::SetCategory(int id, PartslibraryCategoryItem* category) {
  if (id < 0 || id >= kDenseCategories) {
    return;
  }
  const auto at = static_cast<size_t>(id);
  GrowToHold(m_categoryById, at);
  m_categoryById[at] = category;
}

}  // namespace oxsymbols::detail
