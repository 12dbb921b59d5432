#include "CheckCommand.h"

#include <filesystem>

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
      "missing thumbnails and thumbnails that are not images; missing shape and image files. With FILE, that one "
      "library file alone. Exit status 1 when a problem is found.");
  m_app->add_option("file", m_file, "One library file to check alone")->check(CLI::ExistingPath);
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
