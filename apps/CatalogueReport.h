// Text views of a loaded catalogue for people: the whole catalogue by category, every
// field of one entry, and a case-insensitive search.
#pragma once

#include <ostream>
#include <string>

#include "catalogue/PartslibraryList.h"

namespace symbols_tool {

class CatalogueReport {
 public:
  explicit CatalogueReport(const oxsymbols::PartslibraryList& list) : m_list(list) {}

  void List(std::ostream& out) const;
  // False when no entry of that kind has the identifier.
  [[nodiscard]] bool ShowShape(int id, std::ostream& out) const;
  [[nodiscard]] bool ShowImage(int id, std::ostream& out) const;
  [[nodiscard]] bool ShowCategory(int id, std::ostream& out) const;
  // Number of entries found.
  size_t Find(const std::string& text, std::ostream& out) const;

 private:
  [[nodiscard]] std::string CategoryName(int id) const;

  const oxsymbols::PartslibraryList& m_list;
};

}  // namespace symbols_tool
