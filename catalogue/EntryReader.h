// Reads one category, 3D shape or 2D image element of a library file into a new
// catalogue entry of the library the file belongs to: attributes when the element has
// the expected name, children in document order, then the reader's defaults (tooltip
// switches, generated title, dialog thumbnail). Relative file locations are resolved
// against the folder that holds that library's folder.
#pragma once

#include "orrinsymbols/catalogue/LibraryOrigin.h"
#include "orrinsymbols/catalogue/PartslibraryCategoryItem.h"
#include "orrinsymbols/catalogue/PartslibraryImageItem.h"
#include "orrinsymbols/catalogue/PartslibraryOlItem.h"
#include "orrinsymbols/catalogue/UrlResolver.h"
#include "orrinsymbols/geo/XmlElem.h"
#include "orrinsymbols/util/SmartPtr.h"

namespace oxsymbols::detail {

class EntryReader {
 public:
  explicit EntryReader(LibraryOrigin origin);

  // Allocation failures throw; the load that uses the reader catches them.
  [[nodiscard]] util::SmartPtr<PartslibraryCategoryItem> ReadCategory(const geo::XmlElem* elem) const;
  [[nodiscard]] util::SmartPtr<PartslibraryOlItem> ReadShape(const geo::XmlElem* elem) const;
  [[nodiscard]] util::SmartPtr<PartslibraryImageItem> ReadImage(const geo::XmlElem* elem) const;

 private:
  // The part both entry kinds share; readOwn takes the children only that kind has.
  template <class Entry, class ReadOwn>
  void ReadEntry(const geo::XmlElem* elem, Entry& entry, ReadOwn readOwn) const;
  // A "url" attribute resolved into url; false when the element has none.
  bool ReadUrl(const geo::XmlElem* elem, std::string& url) const;

  bool m_isShared;
  bool m_isStandard;
  UrlResolver m_urls;
};

}  // namespace oxsymbols::detail
