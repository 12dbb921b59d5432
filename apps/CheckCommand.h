// "library check": what loading the library found, and what else is wrong with it
// (missing and non-image thumbnails, missing files, renumbered and duplicate
// identifiers), for the merged library or for one library file alone.
#pragma once

#include <string>

#include "ToolCommand.h"

namespace symbols_tool {

class CheckCommand : public ToolCommand {
 public:
  void Register(CLI::App& parent) override;
  [[nodiscard]] int Run(ToolContext& context) override;

 private:
  // The file's library and the base folder its references resolve against, when it lies
  // where a library file does; false for a file anywhere else.
  static bool PlaceOfFile(const std::string& path, oxsymbols::LibraryOrigin& origin, std::string& base);
  // The check of one library file read from standard input.
  [[nodiscard]] int RunOnStandardInput(ToolContext& context);

  std::string m_file;
  bool m_all = false;
  bool m_json = false;
};

// The check of a library as the command runs it, for a catalogue already loaded with its
// report: writes the result and returns the number of problems.
size_t CheckLibrary(const oxsymbols::LoadReport& report, const oxsymbols::PartslibraryList& list,
                    const Locations& locations, bool all, bool json, std::ostream& out);

}  // namespace symbols_tool
