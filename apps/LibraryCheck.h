// Diagnosis of a symbol library for its user, from what loading the catalogue reported:
// which library files were read and, when one gave nothing, why; entries the load
// renumbered or re-filed and identifiers used twice; user entries that landed in another
// library's category because their own category was renumbered; thumbnails that are
// missing or not images; shape and image files that are missing, and image files in a
// format stamps cannot draw. Problems are grouped by kind. Shape and image files outside
// the library folders are warned about: libraries may name them, but a document takes in
// only files that are what they claim to be.
#pragma once

#include <cstddef>
#include <map>
#include <nlohmann/json.hpp>
#include <ostream>
#include <string>
#include <vector>

#include "ThumbnailFiles.h"
#include "catalogue/LoadReport.h"
#include "catalogue/PartslibraryList.h"

namespace symbols_tool {

class LibraryCheck {
 public:
  // Lines of one kind shown unless all are asked for.
  static constexpr size_t kLinesPerKind = 20;

  enum class Kind {
    kFileNotRead,
    kDuplicateId,
    kRenumbered,
    kCategoryChanged,
    kInOtherCategory,
    kMissingThumbnail,
    kThumbnailNotImage,
    kMissingShapeFile,
    kMissingImageFile,
    kImageNotDrawable,
    kFileOutsideLibrary,  // a warning, not a problem
  };

  LibraryCheck(const oxsymbols::LoadReport& report, const oxsymbols::PartslibraryList& list,
               const ThumbnailFiles& thumbnails);

  // Problems, warnings left out.
  [[nodiscard]] size_t ProblemCount() const;
  [[nodiscard]] size_t WarningCount() const;
  [[nodiscard]] static bool IsWarning(Kind kind) { return kind == Kind::kFileOutsideLibrary; }
  // The files, the problems by kind (at most kLinesPerKind each unless all), and a
  // summary line with the count of each kind.
  void WriteText(std::ostream& out, bool all) const;
  [[nodiscard]] nlohmann::json Json() const;

  // The kind's name for one problem and for several.
  [[nodiscard]] static const char* KindName(Kind kind, size_t count);
  // Frozen: the kind's key in JSON answers.
  [[nodiscard]] static const char* KindKey(Kind kind);

 private:
  void CheckFiles();
  void CheckChanges();
  void CheckDuplicates();
  void CheckLandings();
  void CheckReferences();
  void CheckImageFile(const std::string& label, const std::string& path);
  void Add(Kind kind, std::string text);
  [[nodiscard]] std::string Summary() const;

  const oxsymbols::LoadReport& m_report;
  const oxsymbols::PartslibraryList& m_list;
  const ThumbnailFiles& m_thumbnails;
  std::map<Kind, std::vector<std::string>> m_problems;
};

}  // namespace symbols_tool
