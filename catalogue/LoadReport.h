// What a load of the catalogue found out on the way: for each library file whether it
// was read and, when not, why (with line and column for XML errors), and every entry
// whose identifier or category the load changed. The catalogue's public operations
// fill nothing of it and say nothing, as hosts expect; the catalogue's tool asks for it.
// Internal to the catalogue and its tool; header only, nothing of it is exported.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "orrinsymbols/catalogue/LibraryCounts.h"
#include "orrinsymbols/catalogue/LibraryOrigin.h"

namespace oxsymbols {

struct LibraryFileReport {
  enum class Status {
    kNotConsidered,  // switched off, or not asked for; reason says which
    kRead,
    kMissing,
    kNotRegular,       // a folder, FIFO or device in place of the file
    kUnreadable,       // reason holds the system's text
    kXmlError,         // reason holds the parser's text, line and column where
    kWrongRoot,        // reason holds the root element's name
    kWrongChildCount,  // rootChildren says how many
    kIncomplete,       // reading stopped part way (out of memory)
  };

  LibraryOrigin origin = LibraryOrigin::kUser;
  std::string path;
  Status status = Status::kNotConsidered;
  std::string reason;
  int line = 0;
  int column = 0;
  size_t rootChildren = 0;
  LibraryCounts counts;  // what the file contributed

  // True when the file exists (or should) but gave nothing or only part of itself.
  [[nodiscard]] bool Failed() const {
    return status != Status::kNotConsidered && status != Status::kRead && status != Status::kMissing;
  }

  // Why the file contributed nothing, in words; empty when it was read.
  [[nodiscard]] std::string Describe() const {
    switch (status) {
      case Status::kNotConsidered:
        return reason;
      case Status::kRead:
        return std::string();
      case Status::kMissing:
        return "missing";
      case Status::kNotRegular:
        return "not a regular file";
      case Status::kUnreadable:
        return "cannot be read: " + reason;
      case Status::kXmlError:
        return "XML error at line " + std::to_string(line) + ", column " + std::to_string(column) + ": " + reason;
      case Status::kWrongRoot:
        return "the root element is <" + reason + ">, not <orbis-library>";
      case Status::kWrongChildCount:
        return "the root element has " + std::to_string(rootChildren) +
               " child elements; units, information, categories, shapes and symbols make 5";
      case Status::kIncomplete:
        return "read only in part: " + reason;
    }
    return reason;
  }
};

enum class EntryKind { kCategory, kShape, kImage };

[[nodiscard]] inline const char* EntryKindName(EntryKind kind) {
  switch (kind) {
    case EntryKind::kCategory:
      return "category";
    case EntryKind::kShape:
      return "shape";
    case EntryKind::kImage:
      return "image";
  }
  return "entry";
}

// One change the load made to an entry as its file stated it.
struct RenumberedEntry {
  enum class Change {
    kDuplicateId,  // the identifier was used earlier in the same file
    kRenumbered,   // the identifier was taken by a library read before
    kCategory,     // the entry was filed into another category
  };

  EntryKind kind = EntryKind::kShape;
  LibraryOrigin origin = LibraryOrigin::kUser;
  Change change = Change::kRenumbered;
  std::string name;
  int id = 0;  // the entry's identifier after the change
  int from = 0;
  int to = 0;
};

struct LoadReport {
  std::vector<LibraryFileReport> files;
  std::vector<RenumberedEntry> renumbered;

  // Records one change to an entry; name and id are the entry's as it now is.
  void AddChange(EntryKind kind, LibraryOrigin origin, RenumberedEntry::Change change, std::string name, int id,
                 int from, int to) {
    renumbered.push_back(RenumberedEntry{kind, origin, change, std::move(name), id, from, to});
  }
};

}  // namespace oxsymbols
