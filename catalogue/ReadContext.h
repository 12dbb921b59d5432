// What the catalogue list keeps while one library file is read into it: the identifier
// index that keeps adding fast, the library the file belongs to, and, when the caller
// asked for a load report, the identifiers in use before the file, which tell a
// duplicate within the file from a clash with a library read earlier.
#pragma once

#include "orrinsymbols/catalogue/IdentifierIndex.h"
#include "orrinsymbols/catalogue/LibraryOrigin.h"
#include "orrinsymbols/catalogue/LoadReport.h"

namespace oxsymbols::detail {

struct ReadContext {
  template <class Categories, class Ols, class Images, class CategoryMap>
  ReadContext(const Categories& categoryList, const Ols& olList, const Images& imageList,
              const CategoryMap& categoryMap, LibraryOrigin libraryOrigin, LoadReport* loadReport)
      : index(categoryList, olList, imageList, categoryMap), origin(libraryOrigin), report(loadReport) {
    if (report != nullptr) {
      categoriesBefore = index.categories;
      olsBefore = index.ols;
      imagesBefore = index.images;
    }
  }

  [[nodiscard]] const IdentifierSpace& Before(EntryKind kind) const {
    switch (kind) {
      case EntryKind::kCategory:
        return categoriesBefore;
      case EntryKind::kShape:
        return olsBefore;
      case EntryKind::kImage:
        return imagesBefore;
    }
    return olsBefore;
  }

  IdentifierIndex index;
  LibraryOrigin origin;
  LoadReport* report;
  bool releaseAsRead = false;  // the tree is ours: each entry is let go of once read
  IdentifierSpace categoriesBefore;
  IdentifierSpace olsBefore;
  IdentifierSpace imagesBefore;
};

}  // namespace oxsymbols::detail
