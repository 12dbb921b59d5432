// The text of a library file for a catalogue, in standard mode (everything but shared
// entries) or user mode (the user's own entries only), with file references written in
// their library-relative forms. The catalogue itself is not changed.
#pragma once

#include <string>

#include "orrinsymbols/catalogue/LibraryCounts.h"
#include "orrinsymbols/catalogue/PartslibraryList.h"
#include "orrinsymbols/catalogue/XmlTextWriter.h"

namespace oxsymbols::detail {

class LibraryWriter {
 public:
  LibraryWriter(const PartslibraryList& list, bool standard);

  // Allocation failures throw; callers catch them. written, when given, counts what the
  // text holds.
  [[nodiscard]] std::string Build(LibraryCounts* written) const;

 private:
  [[nodiscard]] bool IsWritten(const PartslibraryItemBase& item) const;
  void WriteCategory(XmlTextWriter& xml, const PartslibraryCategoryItem& category) const;
  void WriteShape(XmlTextWriter& xml, const PartslibraryOlItem& ol) const;
  void WriteImage(XmlTextWriter& xml, const PartslibraryImageItem& image) const;
  // The children both entry kinds start with, name to the entry's file reference.
  template <class Entry>
  void WriteEntryTexts(XmlTextWriter& xml, const Entry& entry, const std::string& tooltip,
                       const std::string& galleryThumbnail, const char* fileElement, const std::string& file) const;
  static void WriteTags(XmlTextWriter& xml, const SequencerTagList& tags);
  static void WriteCamera(XmlTextWriter& xml, const PartslibraryOlItem& ol);

  const PartslibraryList& m_list;
  bool m_standard;
  // Where written file references point, computed once per text.
  size_t m_libraryPathLength;
  std::string m_libraryLocationKey;
  bool m_oldDialog;
};

}  // namespace oxsymbols::detail
