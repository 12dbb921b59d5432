// "library export": the catalogue written as a library file by the catalogue's own
// writer, crash-safe, or to standard output. It refuses to write a catalogue that lacks
// a library file which exists but was not read completely, unless forced.
#pragma once

#include <string>

#include "ToolCommand.h"

namespace symbols_tool {

class ExportCommand : public ToolCommand {
 public:
  void Register(CLI::App& parent) override;
  [[nodiscard]] int Run(ToolContext& context) override;

 private:
  // The library file, not read completely, whose entries the export would lose or whose
  // file it would replace; null when there is none.
  [[nodiscard]] const oxsymbols::LibraryFileReport* IncompleteSource(const oxsymbols::LoadReport& report) const;

  bool m_user = false;
  bool m_standard = false;
  bool m_force = false;
  std::string m_file;
};

}  // namespace symbols_tool
