#include "CheckCommand.h"

#include <algorithm>
#include <filesystem>
#include <istream>
#include <string_view>

#include "CatalogueReport.h"
#include "LibraryCheck.h"
#include "ThumbnailFiles.h"
#include "catalogue/LibraryNames.h"
#include "util/FileSystem.h"

namespace symbols_tool {

using oxsymbols::names::kLibraryFolder;
using oxsymbols::names::kStandardFolder;

size_t CheckLibrary(const oxsymbols::LoadReport& report, const oxsymbols::PartslibraryList& list,
                    const Locations& locations, bool all, bool json, std::ostream& out) {
  const ThumbnailFiles thumbnails(ThumbnailFolders(locations));
  const LibraryCheck check(report, list, thumbnails);
  if (json) {
    WriteJson(check.Json(), out);
  } else {
    check.WriteText(out, all);
  }
  return check.ProblemCount();
}

void CheckCommand::Register(CLI::App& parent) {
  m_app = parent.add_subcommand(
      "check",
      "Diagnose the library: per library file whether it was read and why not; renumbered and duplicate identifiers; "
      "user entries that landed in another library's category; missing thumbnails and thumbnails that are not "
      "images; missing shape and image files, and image files stamps cannot draw (only PNG and JPEG are drawn). "
      "With FILE, that one library file alone. Exit status 1 when a problem is found.");
  m_app
      ->add_option("file", m_file,
                   "One library file to check alone; - reads it from standard input, its paths relative to --base "
                   "or else the current folder")
      ->check(CLI::Validator(
          [](const std::string& file) { return file == "-" ? std::string() : CLI::ExistingPath(file); }, "FILE"));
  m_app->add_flag("--all", m_all, "List every problem (otherwise at most 20 of each kind)");
  m_app->add_flag("--json", m_json, "Write JSON instead of text");
}

bool CheckCommand::PlaceOfFile(const std::string& path, oxsymbols::LibraryOrigin& origin, std::string& base) {
  namespace fs = std::filesystem;
  const fs::path folder = fs::absolute(path).lexically_normal().parent_path();
  if (folder.filename() == kLibraryFolder) {
    origin = oxsymbols::LibraryOrigin::kUser;
    base = folder.parent_path().string();
    return true;
  }
  if (folder.filename() == kStandardFolder && folder.parent_path().filename() == kLibraryFolder) {
    origin = oxsymbols::LibraryOrigin::kStandard;
    base = folder.parent_path().parent_path().string();
    return true;
  }
  return false;
}

int CheckCommand::Run(ToolContext& context) {
  if (m_file == "-") {
    return RunOnStandardInput(context);
  }
  if (m_file.empty()) {
    if (!context.Install()) {
      return kFailure;
    }
    // The check says itself which files were not read.
    oxsymbols::LoadReport report;
    ToolCatalogue catalogue;
    catalogue.ReadPreferencesXML(false, report);
    if (context.GetLocations().shared.empty() && !report.files.empty()) {
      report.files.front().path = "(no shared folder given)";
    }
    const size_t problems = CheckLibrary(report, catalogue, context.GetLocations(), m_all, m_json, context.Out());
    return problems == 0 ? kOk : kFailure;
  }
  // A file in a library folder resolves its references against that library's base;
  // any other file is read as a user library over the base given.
  oxsymbols::LibraryOrigin origin = oxsymbols::LibraryOrigin::kUser;
  std::string base;
  const std::string file = std::filesystem::absolute(m_file).lexically_normal().string();
  if (PlaceOfFile(file, origin, base)) {
    context.GetLocations().base = base;
  }
  if (!context.Install()) {
    return kFailure;
  }
  oxsymbols::LoadReport report;
  ToolCatalogue catalogue;
  catalogue.ReadLibraryFile(file, origin, report);
  const size_t problems = CheckLibrary(report, catalogue, context.GetLocations(), m_all, m_json, context.Out());
  return problems == 0 ? kOk : kFailure;
}

}  // namespace symbols_tool

namespace symbols_tool {

namespace {

// Frozen: how the check names a library read from standard input.
constexpr const char* kStandardInputLabel = "(standard input)";
// More than any library file holds; a stream without end is cut here instead of
// taking all memory.
constexpr size_t kMaxInputBytes = size_t{1} << 30;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// Put before a document without a declaration, on its first line so that the parser's
// line numbers stay those of the input.
constexpr std::string_view kDeclaration = "<?xml version=\"1.0\"?>";

bool ReadAll(std::istream& in, std::string& text) {
  char buffer[65536];
  while (in.read(buffer, sizeof(buffer)) || in.gcount() > 0) {
    text.append(buffer, static_cast<size_t>(in.gcount()));
    if (text.size() > kMaxInputBytes) {
      return false;
    }
  }
  return true;
}

}  // namespace

int CheckCommand::RunOnStandardInput(ToolContext& context) {
  std::string text;
  if (!ReadAll(context.In(), text)) {
    return context.Failure("standard input holds more than " + std::to_string(kMaxInputBytes >> 20) +
                           " MiB, more than a library file");
  }
  if (context.In().bad()) {
    return context.Failure("could not read standard input");
  }
  // The catalogue reads a text that starts with a declaration as the document itself.
  if (text.compare(0, kByteOrderMark.size(), kByteOrderMark) == 0) {
    text.erase(0, kByteOrderMark.size());
  }
  size_t added = 0;
  if (text.compare(0, std::string_view(oxsymbols::names::kDeclarationStart).size(),
                   oxsymbols::names::kDeclarationStart) != 0) {
    text.insert(0, kDeclaration);
    added = kDeclaration.size();
  }
  Locations& locations = context.GetLocations();
  if (locations.base.empty()) {
    std::error_code ignored;
    locations.base = std::filesystem::current_path(ignored).string();
  }
  if (!context.Install()) {
    return kFailure;
  }
  oxsymbols::LoadReport report;
  ToolCatalogue catalogue;
  catalogue.ReadLibraryFile(text, oxsymbols::LibraryOrigin::kUser, report);
  for (oxsymbols::LibraryFileReport& file : report.files) {
    file.path = kStandardInputLabel;
    if (file.status == oxsymbols::LibraryFileReport::Status::kXmlError && file.line == 1 && added > 0) {
      file.column = std::max(1, file.column - static_cast<int>(added));
    }
  }
  const size_t problems = CheckLibrary(report, catalogue, locations, m_all, m_json, context.Out());
  return problems == 0 ? kOk : kFailure;
}

}  // namespace symbols_tool
