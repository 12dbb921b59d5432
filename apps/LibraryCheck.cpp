#include "LibraryCheck.h"

#include <algorithm>
#include <cctype>
#include <string_view>
#include <unordered_map>

#include "JsonOutput.h"
#include "ToolContext.h"
#include "Utf8Text.h"
#include "oxloader/Loader.h"
#include "util/FileSystem.h"

namespace symbols_tool {

namespace {

using oxsymbols::EntryKindName;
using oxsymbols::LibraryFileReport;
using oxsymbols::LibraryOrigin;
using oxsymbols::OriginName;
using oxsymbols::OriginOf;
using oxsymbols::RenumberedEntry;

std::string Quoted(const std::string& text) {
  return "\"" + text + "\"";
}

template <class Entry>
std::string EntryLabel(const char* kind, const Entry& entry) {
  return std::string(kind) + " " + std::to_string(entry.GetID()) + " " + Quoted(entry.GetName());
}

std::string FileSummary(const LibraryFileReport& file) {
  if (file.status == LibraryFileReport::Status::kRead) {
    return "read: " + CountsText(file.counts);
  }
  return "not read: " + file.Describe();
}

}  // namespace

LibraryCheck::LibraryCheck(const oxsymbols::LoadReport& report, const oxsymbols::PartslibraryList& list,
                           const ThumbnailFiles& thumbnails)
    : m_report(report), m_list(list), m_thumbnails(thumbnails) {
  CheckFiles();
  CheckDuplicates();
  CheckChanges();
  CheckLandings();
  CheckReferences();
}

const char* LibraryCheck::KindName(Kind kind, size_t count) {
  const bool one = count == 1;
  switch (kind) {
    case Kind::kFileNotRead:
      return one ? "library file not read" : "library files not read";
    case Kind::kDuplicateId:
      return one ? "duplicate identifier" : "duplicate identifiers";
    case Kind::kRenumbered:
      return one ? "renumbered identifier" : "renumbered identifiers";
    case Kind::kCategoryChanged:
      return one ? "entry filed into another category" : "entries filed into another category";
    case Kind::kInOtherCategory:
      return one ? "user entry in another library's category" : "user entries in another library's category";
    case Kind::kMissingThumbnail:
      return one ? "missing thumbnail" : "missing thumbnails";
    case Kind::kThumbnailNotImage:
      return one ? "thumbnail that is not an image" : "thumbnails that are not images";
    case Kind::kMissingShapeFile:
      return one ? "missing shape file" : "missing shape files";
    case Kind::kMissingImageFile:
      return one ? "missing image file" : "missing image files";
    case Kind::kImageNotDrawable:
      return one ? "image file stamps cannot draw" : "image files stamps cannot draw";
    case Kind::kFileOutsideLibrary:
      return one ? "file outside the library folders" : "files outside the library folders";
  }
  return "problem";
}

const char* LibraryCheck::KindKey(Kind kind) {
  switch (kind) {
    case Kind::kFileNotRead:
      return "fileNotRead";
    case Kind::kDuplicateId:
      return "duplicateId";
    case Kind::kRenumbered:
      return "renumbered";
    case Kind::kCategoryChanged:
      return "categoryChanged";
    case Kind::kInOtherCategory:
      return "inOtherCategory";
    case Kind::kMissingThumbnail:
      return "missingThumbnail";
    case Kind::kThumbnailNotImage:
      return "thumbnailNotImage";
    case Kind::kMissingShapeFile:
      return "missingShapeFile";
    case Kind::kMissingImageFile:
      return "missingImageFile";
    case Kind::kImageNotDrawable:
      return "imageNotDrawable";
    case Kind::kFileOutsideLibrary:
      return "fileOutsideLibrary";
  }
  return "problem";
}

void LibraryCheck::Add(Kind kind, std::string text) {
  m_problems[kind].push_back(std::move(text));
}

size_t LibraryCheck::ProblemCount() const {
  size_t count = 0;
  for (const auto& [kind, lines] : m_problems) {
    count += IsWarning(kind) ? 0 : lines.size();
  }
  return count;
}

size_t LibraryCheck::WarningCount() const {
  size_t count = 0;
  for (const auto& [kind, lines] : m_problems) {
    count += IsWarning(kind) ? lines.size() : 0;
  }
  return count;
}

void LibraryCheck::CheckFiles() {
  bool anyRead = false;
  bool anyConsidered = false;
  for (const LibraryFileReport& file : m_report.files) {
    anyRead = anyRead || file.status == LibraryFileReport::Status::kRead;
    anyConsidered = anyConsidered || file.status != LibraryFileReport::Status::kNotConsidered;
    if (file.Failed()) {
      Add(Kind::kFileNotRead, FileLabel(file) + ": " + file.Describe());
    }
  }
  if (!anyRead && anyConsidered && m_problems.count(Kind::kFileNotRead) == 0) {
    Add(Kind::kFileNotRead, "no library file was found");
  }
}

void LibraryCheck::CheckChanges() {
  for (const RenumberedEntry& change : m_report.renumbered) {
    const std::string who =
        std::string(OriginName(change.origin)) + " library: " + EntryKindName(change.kind) + " " + Quoted(change.name);
    switch (change.change) {
      case RenumberedEntry::Change::kDuplicateId:
        Add(Kind::kDuplicateId, who + ": identifier " + std::to_string(change.from) +
                                    " is used earlier in the same file; read as " + std::to_string(change.to));
        break;
      case RenumberedEntry::Change::kRenumbered:
        Add(Kind::kRenumbered, who + ": identifier " + std::to_string(change.from) + " in its file is " +
                                   std::to_string(change.to) + " in the catalogue");
        break;
      case RenumberedEntry::Change::kCategory:
        Add(Kind::kCategoryChanged, who + " (" + std::to_string(change.id) + "): category " +
                                        std::to_string(change.from) + " in its file is " + std::to_string(change.to) +
                                        " in the catalogue");
        break;
    }
  }
}

void LibraryCheck::CheckDuplicates() {
  // The catalogue keeps identifiers unique; entries added by other means may not.
  const auto check = [this](const char* kind, const auto& list) {
    std::unordered_map<int, size_t> uses;
    for (const auto& entry : list) {
      if (entry) {
        ++uses[entry->GetID()];
      }
    }
    for (const auto& entry : list) {
      if (!entry) {
        continue;
      }
      const auto found = uses.find(entry->GetID());
      if (found != uses.end() && found->second > 1) {
        Add(Kind::kDuplicateId, std::string(kind) + " identifier " + std::to_string(entry->GetID()) + " is held by " +
                                    std::to_string(found->second) + " entries in the catalogue");
        uses.erase(found);
      }
    }
  };
  check("category", m_list.GetCategoryList());
  check("shape", m_list.GetOlList());
  check("image", m_list.GetImageList());
}

void LibraryCheck::CheckLandings() {
  // A user category whose identifier an earlier library took is renumbered, but the
  // user's entries keep the identifier their file names: they land in the category that
  // holds it now, another library's. What each such identifier meant and where it leads,
  // so that one walk over the entries finds them all.
  std::unordered_map<int, std::string> landings;
  for (const RenumberedEntry& change : m_report.renumbered) {
    if (change.kind != oxsymbols::EntryKind::kCategory || change.change != RenumberedEntry::Change::kRenumbered ||
        change.origin != LibraryOrigin::kUser) {
      continue;
    }
    const auto landed = m_list.GetCategoryFromCategoryList(change.from);
    if (!landed || OriginOf(*landed) == LibraryOrigin::kUser) {
      continue;
    }
    const std::string from = std::to_string(change.from);
    landings[change.from] = "its file meant category " + from + " " + Quoted(change.name) + " (renumbered " +
                            std::to_string(change.to) + "), it landed in category " + from + " " +
                            Quoted(landed->GetName()) + " of the " + OriginName(OriginOf(*landed)) + " library";
  }
  if (landings.empty()) {
    return;
  }
  const auto check = [&](const char* kind, const auto& list) {
    for (const auto& entry : list) {
      if (!entry || OriginOf(*entry) != LibraryOrigin::kUser) {
        continue;
      }
      const auto landing = landings.find(entry->GetCategoryID());
      if (landing != landings.end()) {
        Add(Kind::kInOtherCategory, EntryLabel(kind, *entry) + ": " + landing->second);
      }
    }
  };
  check("shape", m_list.GetOlList());
  check("image", m_list.GetImageList());
}

void LibraryCheck::CheckImageFile(const std::string& label, const std::string& path) {
  std::string start;
  uint64_t size = 0;
  std::string error;
  if (!util::FileSystem::ReadFileStart(path, ThumbnailFiles::kSignatureBytes, start, size, error)) {
    return;  // a file that cannot be read is named by the missing files
  }
  if (oxloader::Loader::FormatOf(reinterpret_cast<const uint8_t*>(start.data()), start.size()) !=
      oxloader::Loader::ImageFormat::kUnknown) {
    return;
  }
  const char* mimeType = ThumbnailFiles::MimeTypeOf(start);
  std::string what = "not an image";
  if (mimeType != nullptr) {
    what = std::string(mimeType).substr(std::string_view(mimeType).find('/') + 1);
    std::transform(what.begin(), what.end(), what.begin(), [](char c) { return static_cast<char>(std::toupper(c)); });
    what = "a " + what + " image";
  }
  Add(Kind::kImageNotDrawable,
      label + ": image file is " + what + "; stamps draw " + oxloader::Loader::kDecodedFormats + ": " + path);
}

void LibraryCheck::CheckReferences() {
  const auto thumbnails = [this](const std::string& label, const std::string& gallery, const std::string& dialog) {
    const Thumbnail small = m_thumbnails.Inspect(gallery);
    if (small.verdict == Thumbnail::Verdict::kNotGiven || small.verdict == Thumbnail::Verdict::kMissing) {
      Add(Kind::kMissingThumbnail,
          label + ": gallery thumbnail " + small.Describe() + (gallery.empty() ? "" : ": ") + gallery);
      return;
    }
    if (!small.IsImage()) {
      Add(Kind::kThumbnailNotImage, label + ": gallery thumbnail " + small.Describe() + ": " + gallery);
    }
    // Many entries use one file for both thumbnails: it is looked at once.
    const Thumbnail large = dialog == gallery ? small : m_thumbnails.Inspect(dialog);
    if (large.verdict == Thumbnail::Verdict::kMissing) {
      Add(Kind::kMissingThumbnail, label + ": dialog thumbnail not found: " + dialog);
    } else if (!large.IsImage() && dialog != gallery) {
      Add(Kind::kThumbnailNotImage, label + ": dialog thumbnail " + large.Describe() + ": " + dialog);
    }
  };
  const auto file = [this](Kind kind, const std::string& label, const char* what, const std::string& path) {
    if (path.empty()) {
      Add(kind, label + ": no " + what + " given");
    } else if (!util::FileSystem::FileExists(path)) {
      Add(kind, label + ": " + what + " not found: " + path);
    } else if (m_thumbnails.LeavesLibrary(path)) {
      Add(Kind::kFileOutsideLibrary, label + ": " + what + " outside the library folders: " + path);
    }
  };
  for (const auto& ol : m_list.GetOlList()) {
    const std::string label = EntryLabel("shape", *ol);
    thumbnails(label, ol->GetOlGalleryThumbnailUrl(), ol->GetOlDlgThumbnailUrl());
    file(Kind::kMissingShapeFile, label, "shape file", ol->GetOlUrl());
  }
  for (const auto& image : m_list.GetImageList()) {
    const std::string label = EntryLabel("image", *image);
    thumbnails(label, image->GetImageGalleryThumbnailUrl(), image->GetImageDlgThumbnailUrl());
    file(Kind::kMissingImageFile, label, "image file", image->GetImageUrl());
    if (util::FileSystem::FileExists(image->GetImageUrl())) {
      CheckImageFile(label, image->GetImageUrl());
    }
  }
}

std::string LibraryCheck::Summary() const {
  std::string summary;
  for (const bool warnings : {false, true}) {
    const size_t total = warnings ? WarningCount() : ProblemCount();
    if (total == 0) {
      summary += warnings ? "" : "no problems";
      continue;
    }
    summary += warnings ? (summary.empty() ? "" : "; ") + Counted(total, "warning", "warnings") + ":"
                        : Counted(total, "problem", "problems") + ":";
    const char* separator = " ";
    for (const auto& [kind, lines] : m_problems) {
      if (IsWarning(kind) == warnings) {
        summary += separator + std::to_string(lines.size()) + " " + KindName(kind, lines.size());
        separator = ", ";
      }
    }
  }
  return summary;
}

void LibraryCheck::WriteText(std::ostream& out, bool all) const {
  for (const LibraryFileReport& file : m_report.files) {
    out << OriginName(file.origin) << " library: " << EscapeForTerminal(file.path) << "\n"
        << "  " << EscapeForTerminal(FileSummary(file)) << "\n";
  }
  for (const auto& [kind, lines] : m_problems) {
    out << KindName(kind, lines.size()) << " (" << lines.size() << "):\n";
    const size_t shown = all ? lines.size() : std::min(lines.size(), kLinesPerKind);
    for (size_t i = 0; i < shown; ++i) {
      out << "  " << EscapeForTerminal(lines[i]) << "\n";
    }
    if (shown < lines.size()) {
      out << "  ... and " << lines.size() - shown << " more (--all lists them)\n";
    }
  }
  out << Summary() << "\n";
}

nlohmann::json LibraryCheck::Json() const {
  nlohmann::json files = nlohmann::json::array();
  for (const LibraryFileReport& file : m_report.files) {
    nlohmann::json entry = {{"library", OriginName(file.origin)},
                            {"path", file.path},
                            {"read", file.status == LibraryFileReport::Status::kRead},
                            {"problem", file.Failed()}};
    if (file.status == LibraryFileReport::Status::kRead) {
      entry["categories"] = file.counts.categories;
      entry["shapes"] = file.counts.shapes;
      entry["images"] = file.counts.images;
    } else {
      entry["reason"] = file.Describe();
    }
    if (file.status == LibraryFileReport::Status::kXmlError) {
      entry["line"] = file.line;
      entry["column"] = file.column;
    }
    files.push_back(std::move(entry));
  }
  nlohmann::json problems = nlohmann::json::array();
  nlohmann::json counts = nlohmann::json::object();
  for (const auto& [kind, lines] : m_problems) {
    counts[KindKey(kind)] = lines.size();
    for (const std::string& line : lines) {
      problems.push_back({{"kind", KindKey(kind)}, {"text", line}, {"warning", IsWarning(kind)}});
    }
  }
  nlohmann::json answer = JsonAnswer();
  answer.update({{"files", std::move(files)},
                 {"problems", std::move(problems)},
                 {"counts", std::move(counts)},
                 {"total", ProblemCount()},
                 {"warnings", WarningCount()},
                 {"summary", Summary()}});
  return answer;
}

}  // namespace symbols_tool
