// Diagnosis of a symbol library for its user: which of the three library files were
// read and, when one contributed nothing, why; file references that point nowhere; and
// entries whose identifier or category the merge renumbered. The catalogue itself stays
// silent about all of this, so the check reads the files on its own as well.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "ToolSetup.h"
#include "catalogue/PartslibraryList.h"

namespace symbols_tool {

class LibraryCheck {
 public:
  explicit LibraryCheck(const Locations& locations) : m_locations(locations) {}

  // Writes the report; returns the number of problems found.
  size_t Run(std::ostream& out);

 private:
  // One identifier as a library file states it, in document order.
  struct FileEntry {
    std::string name;
    int id = 0;
    int categoryId = 0;
  };
  struct FileContents {
    bool read = false;
    bool standard = false;
    bool user = false;
    std::vector<FileEntry> categories;
    std::vector<FileEntry> shapes;
    std::vector<FileEntry> images;
  };

  FileContents Inspect(const std::string& label, const std::string& path, bool isShared, bool considered,
                       const std::string& skipReason, std::ostream& out);
  void CheckReferences(const oxsymbols::PartslibraryList& list, std::ostream& out);
  void CheckRenumbering(const oxsymbols::PartslibraryList& list, const std::vector<FileContents>& files,
                        std::ostream& out);
  void Problem(std::ostream& out, const std::string& text);

  Locations m_locations;
  size_t m_problems = 0;
};

}  // namespace symbols_tool
