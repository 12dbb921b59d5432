// symbols: look at, check, search, export and picture a symbol library from the shell.
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "CatalogueReport.h"
#include "GalleryPage.h"
#include "LibraryCheck.h"
#include "PageCommand.h"
#include "ToolSetup.h"
#include "catalogue/PartslibraryList.h"
#include "util/FileSystem.h"
#include "util/SafeFileWriter.h"

namespace {

using symbols_tool::Locations;

constexpr int kOk = 0;
constexpr int kFailure = 1;
constexpr int kUsage = 2;

const char* const kMainHelp = R"(usage: symbols [OPTIONS] COMMAND [ARGS]

Looks at a symbol library: the merged catalogue of the shared, standard and user
library files. Without --base it uses the embedded sample library.

Commands:
  library list                         the catalogue by category
  library show shape|image|category ID every field of one entry
  library check                        diagnose the library files and their references
  library find TEXT                    entries whose texts contain TEXT (any case)
  library export --user|--standard FILE  write the catalogue as a library file
  gallery --out FILE.html              an HTML page of the picker's view
  page --out FILE.svg                  a 2D illustration page of the catalogue's symbols

Options (anywhere on the line):
  --base DIR        folder that holds SymbolsLibrary (illustration preferences base)
  --shared DIR      shared cache preferences folder (holds SymbolsLibrary)
  --shared-enabled  take the shared library into the catalogue
  --help            help for the command given

Exit status: 0 success, 1 failure (or problems found by check), 2 bad usage.
)";

const char* const kLibraryHelp = R"(usage: symbols [OPTIONS] library list|show|check|find|export ...

  list                                  the catalogue by category
  show shape|image|category ID          every field of one entry, tags included
  check                                 diagnose the three library files and the entries
  find TEXT                             search names, titles, descriptions, tooltips, tags
  export --user|--standard FILE         write with the catalogue's writer
)";

const char* const kListHelp = R"(usage: symbols [OPTIONS] library list

Prints the merged catalogue: its categories with their shapes and images (identifier,
title and the library each came from), then entries without a category.
)";

const char* const kShowHelp = R"(usage: symbols [OPTIONS] library show shape|image|category ID

Prints every field of the shape, image or category with that identifier.
)";

const char* const kCheckHelp = R"(usage: symbols [OPTIONS] library check

For each of the shared, standard and user library files: its path, whether it was read
and, when it contributed nothing, why. Then the entries' file references that point at
no file, and entries whose identifier or category the merge renumbered.
Exit status 1 when a problem was found.
)";

const char* const kFindHelp = R"(usage: symbols [OPTIONS] library find TEXT

Lists the entries whose name, title, description, tooltip or tag texts contain TEXT,
ignoring letter case, with their category and library. Exit status 1 when none match.
)";

const char* const kExportHelp = R"(usage: symbols [OPTIONS] library export --user|--standard FILE

Writes the catalogue to FILE: --user writes the user's own entries, --standard the
standard and the user's entries (shared entries are never written).
)";

const char* const kPageHelp = R"(usage: symbols [OPTIONS] page --out FILE.svg

Writes an SVG page made as a host makes a 2D illustration: the catalogue's images as 2D
symbols in one row (every second one turned a quarter or mirrored), with their titles
as captions and tooltips, and its shapes as flattened symbols' labelled markers below.
)";

const char* const kGalleryHelp = R"(usage: symbols [OPTIONS] gallery --out FILE.html

Writes a self-contained HTML page of the picker's view: one section per category with
each entry's thumbnail, label and tooltip.
)";

struct CommandLine {
  Locations locations;
  bool help = false;
  bool user = false;
  bool standard = false;
  std::string out;
  std::vector<std::string> words;
};

int Usage(const std::string& message) {
  std::cerr << "symbols: " << message << " (see symbols --help)\n";
  return kUsage;
}

int Failure(const std::string& message) {
  std::cerr << "symbols: " << message << "\n";
  return kFailure;
}

// Options may come anywhere; everything else is a command word or argument.
bool Parse(int argc, char** argv, CommandLine& line, std::string& error) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const auto value = [&](std::string& target) {
      if (i + 1 >= argc) {
        error = arg + " needs a value";
        return false;
      }
      target = argv[++i];
      return true;
    };
    if (arg == "--help" || arg == "-h") {
      line.help = true;
    } else if (arg == "--base") {
      if (!value(line.locations.base)) {
        return false;
      }
    } else if (arg == "--shared") {
      if (!value(line.locations.shared)) {
        return false;
      }
    } else if (arg == "--shared-enabled") {
      line.locations.sharedEnabled = true;
    } else if (arg == "--user") {
      line.user = true;
    } else if (arg == "--standard") {
      line.standard = true;
    } else if (arg == "--out") {
      if (!value(line.out)) {
        return false;
      }
    } else if (arg.size() > 1 && arg[0] == '-' && arg != "-") {
      error = "unknown option " + arg;
      return false;
    } else {
      line.words.push_back(arg);
    }
  }
  return true;
}

const char* HelpFor(const std::vector<std::string>& words) {
  if (words.empty()) {
    return kMainHelp;
  }
  if (words[0] == "gallery") {
    return kGalleryHelp;
  }
  if (words[0] == "page") {
    return kPageHelp;
  }
  if (words[0] != "library" || words.size() < 2) {
    return words[0] == "library" ? kLibraryHelp : kMainHelp;
  }
  const std::string& sub = words[1];
  if (sub == "list") {
    return kListHelp;
  }
  if (sub == "show") {
    return kShowHelp;
  }
  if (sub == "check") {
    return kCheckHelp;
  }
  if (sub == "find") {
    return kFindHelp;
  }
  if (sub == "export") {
    return kExportHelp;
  }
  return kLibraryHelp;
}

bool ParseId(const std::string& text, int& id) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), id);
  return error == std::errc() && end == text.data() + text.size();
}

int Library(const CommandLine& line) {
  const std::vector<std::string>& w = line.words;
  if (w.size() < 2) {
    return Usage("library needs a command: list, show, check, find or export");
  }
  const std::string& sub = w[1];
  const bool exporting = sub == "export";
  if ((line.user || line.standard) && !exporting) {
    return Usage("--user and --standard belong to library export");
  }
  if (!line.out.empty()) {
    return Usage("--out belongs to gallery and page");
  }
  if (sub == "check") {
    if (w.size() != 2) {
      return Usage("library check takes no arguments");
    }
    symbols_tool::LibraryCheck check(line.locations);
    return check.Run(std::cout) == 0 ? kOk : kFailure;
  }
  oxsymbols::PartslibraryList list;
  list.ReadPreferencesXML(false);
  const symbols_tool::CatalogueReport report(list);
  if (sub == "list") {
    if (w.size() != 2) {
      return Usage("library list takes no arguments");
    }
    report.List(std::cout);
    return kOk;
  }
  if (sub == "show") {
    int id = 0;
    if (w.size() != 4 || (w[2] != "shape" && w[2] != "image" && w[2] != "category")) {
      return Usage("library show needs shape, image or category and an identifier");
    }
    if (!ParseId(w[3], id)) {
      return Usage("not an identifier: " + w[3]);
    }
    const bool shown = w[2] == "shape"   ? report.ShowShape(id, std::cout)
                       : w[2] == "image" ? report.ShowImage(id, std::cout)
                                         : report.ShowCategory(id, std::cout);
    return shown ? kOk : Failure("no " + w[2] + " with identifier " + w[3]);
  }
  if (sub == "find") {
    if (w.size() != 3) {
      return Usage("library find needs one TEXT");
    }
    return report.Find(w[2], std::cout) > 0 ? kOk : Failure("nothing matches \"" + w[2] + "\"");
  }
  if (exporting) {
    if (w.size() != 3 || line.user == line.standard) {
      return Usage("library export needs --user or --standard and one FILE");
    }
    const std::filesystem::path target = std::filesystem::absolute(w[2]);
    if (!util::FileSystem::DirExists(target.parent_path().string())) {
      return Failure("folder does not exist: " + target.parent_path().string());
    }
    const auto before = std::filesystem::exists(target) ? std::filesystem::last_write_time(target)
                                                        : std::filesystem::file_time_type::min();
    (void)list.WritePartslibraryListToXML(target.string(), line.standard);
    if (!std::filesystem::exists(target) || std::filesystem::last_write_time(target) == before) {
      return Failure("could not write " + target.string());
    }
    std::cout << "wrote " << target.string() << "\n";
    return kOk;
  }
  return Usage("unknown library command: " + sub);
}

int Gallery(const CommandLine& line) {
  if (line.words.size() != 1 || line.out.empty()) {
    return Usage("gallery needs --out FILE.html");
  }
  if (line.user || line.standard) {
    return Usage("--user and --standard belong to library export");
  }
  oxsymbols::PartslibraryList list;
  list.ReadPreferencesXML(false);
  if (!util::SafeFileWriter::Write(line.out, symbols_tool::GalleryPage::Build(list))) {
    return Failure("could not write " + line.out);
  }
  std::cout << "wrote " << line.out << "\n";
  return kOk;
}

int Run(int argc, char** argv) {
  CommandLine line;
  std::string error;
  if (!Parse(argc, argv, line, error)) {
    return Usage(error);
  }
  if (line.help) {
    std::cout << HelpFor(line.words);
    return kOk;
  }
  if (line.words.empty()) {
    return Usage("no command given");
  }
  if (line.words[0] != "library" && line.words[0] != "gallery" && line.words[0] != "page") {
    return Usage("unknown command: " + line.words[0]);
  }
  if (line.locations.base.empty()) {
    line.locations.base = symbols_tool::ToolSetup::SampleBase();
    line.locations.usingSamples = true;
  }
  std::error_code ignored;
  line.locations.base = std::filesystem::absolute(line.locations.base, ignored).lexically_normal().string();
  if (!line.locations.shared.empty()) {
    line.locations.shared = std::filesystem::absolute(line.locations.shared, ignored).lexically_normal().string();
  }
  while (line.locations.base.size() > 1 && line.locations.base.back() == '/') {
    line.locations.base.pop_back();
  }
  while (line.locations.shared.size() > 1 && line.locations.shared.back() == '/') {
    line.locations.shared.pop_back();
  }
  if (line.words[0] == "page") {
    if (line.words.size() != 1 || line.out.empty() || line.user || line.standard) {
      return Usage("page needs --out FILE.svg");
    }
    return symbols_tool::RunPageCommand(line.locations, line.out);
  }
  if (!symbols_tool::ToolSetup::Install(line.locations, error)) {
    return Failure(error);
  }
  return line.words[0] == "library" ? Library(line) : Gallery(line);
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(argc, argv);
  } catch (const std::exception& e) {
    return Failure(e.what());
  } catch (...) {
    return Failure("unexpected failure");
  }
}
