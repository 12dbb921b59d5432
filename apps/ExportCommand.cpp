#include "ExportCommand.h"

#include <sys/stat.h>

#include <algorithm>

#include "OutputFile.h"

namespace symbols_tool {

namespace {

using oxsymbols::LibraryFileReport;
using oxsymbols::LibraryOrigin;

// True when both paths name one existing file (links followed).
bool SameFile(const std::string& a, const std::string& b) {
  struct stat first {};
  struct stat second {};
  return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev &&
         first.st_ino == second.st_ino;
}

// The library writer ends an element that has only attributes with "/> " and the line
// end, the layout hosts' own saves keep; the file a person asks the tool for has no
// blanks at line ends, which readers ignore anyway.
std::string WithoutTrailingBlanks(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = std::min(text.find('\n', start), text.size());
    size_t last = end;
    while (last > start && (text[last - 1] == ' ' || text[last - 1] == '\t')) {
      --last;
    }
    out.append(text, start, last - start);
    if (end < text.size()) {
      out += '\n';
    }
    start = end + 1;
  }
  return out;
}

}  // namespace

void ExportCommand::Register(CLI::App& parent) {
  m_app = parent.add_subcommand("export",
                                "Write the catalogue with the library's writer: --user the user's own entries, "
                                "--standard the standard and the user's entries (shared entries never). FILE - "
                                "writes to standard output.");
  auto* user = m_app->add_flag("--user", m_user, "Write the user's library");
  auto* standard = m_app->add_flag("--standard", m_standard, "Write the standard library");
  user->excludes(standard);
  m_app->add_flag("--force", m_force, "Write even when a library file was not read completely");
  m_app->add_option("file", m_file, "The file to write, or - for standard output")->required();
}

const LibraryFileReport* ExportCommand::IncompleteSource(const oxsymbols::LoadReport& report) const {
  for (const LibraryFileReport& file : report.files) {
    if (!file.Failed()) {
      continue;
    }
    // The user's entries are in both modes, the standard ones in standard mode; a file
    // being replaced that was not read would lose what could not be read.
    const bool written = file.origin == LibraryOrigin::kUser || (m_standard && file.origin == LibraryOrigin::kStandard);
    if (written || (m_file != "-" && SameFile(m_file, file.path))) {
      return &file;
    }
  }
  return nullptr;
}

int ExportCommand::Run(ToolContext& context) {
  if (!m_user && !m_standard) {
    return context.Usage("library export needs --user or --standard");
  }
  if (!context.Install()) {
    return kFailure;
  }
  ToolCatalogue& catalogue = context.Catalogue();
  if (const LibraryFileReport* incomplete = IncompleteSource(context.Report()); incomplete != nullptr && !m_force) {
    return context.Failure("not writing " + m_file + ": the " + oxsymbols::OriginName(incomplete->origin) +
                           " library file " + incomplete->path +
                           " was not read completely, and its entries would be lost (--force writes anyway)");
  }
  oxsymbols::LibraryCounts counts;
  const std::string text = catalogue.BuildLibraryText(m_standard, &counts);
  if (text.empty()) {
    return context.Failure("out of memory while writing the catalogue");
  }
  const OutputFile out(m_file);
  if (!out.Write(WithoutTrailingBlanks(text), context)) {
    return kFailure;
  }
  out.ReportStream(context) << "wrote " << out.Label() << ": " << CountsText(counts) << "\n";
  return kOk;
}

}  // namespace symbols_tool
