// Views of a loaded catalogue for people and for programs: the whole catalogue by
// category, every field of one entry, and a search that ignores letter case. Text views
// show names and texts with control characters escaped and leave empty fields out; JSON
// views give every field.
#pragma once

#include <nlohmann/json.hpp>
#include <ostream>
#include <string>

#include "JsonOutput.h"
#include "catalogue/PartslibraryList.h"

namespace symbols_tool {

class CatalogueReport {
 public:
  explicit CatalogueReport(const oxsymbols::PartslibraryList& list) : m_list(list) {}

  void List(std::ostream& out) const;
  // The answer of "library list --json".
  [[nodiscard]] nlohmann::json ListJson() const;
  // False when no entry of that kind has the identifier.
  [[nodiscard]] bool ShowShape(int id, std::ostream& out) const;
  [[nodiscard]] bool ShowImage(int id, std::ostream& out) const;
  [[nodiscard]] bool ShowCategory(int id, std::ostream& out) const;
  // The entry's fields; null when no entry of that kind ("shape", "image", "category")
  // has the identifier.
  [[nodiscard]] nlohmann::json ShowJson(const std::string& kind, int id) const;
  // The entries whose name, title, description, tooltip or tag texts contain text, in
  // any letter case; written as lines, or as the answer of "library find --json".
  size_t Find(const std::string& text, std::ostream& out) const;
  [[nodiscard]] nlohmann::json FindJson(const std::string& text) const;

 private:
  [[nodiscard]] std::string CategoryName(int id) const;

  const oxsymbols::PartslibraryList& m_list;
};

}  // namespace symbols_tool
