// The symbols tool's command line: the parser with every command registered, the options
// of the whole tool, and the run of the command a line names. The tool's main, its
// tests and the build step that writes the shell completion and the manual page share
// it, so all of them see one definition of the commands.
#pragma once

#include <CLI/CLI.hpp>
#include <memory>
#include <string>
#include <vector>

#include "CommandTree.h"
#include "ToolCommand.h"
#include "ToolContext.h"

namespace symbols_tool {

class ToolCommandLine {
 public:
  // The context receives the locations from the line and the commands' output.
  explicit ToolCommandLine(ToolContext& context);
  ToolCommandLine(const ToolCommandLine&) = delete;
  ToolCommandLine& operator=(const ToolCommandLine&) = delete;

  // Parses args (the words after the program's name) and runs the command they name;
  // the exit status. Help and the version go to the context's output.
  [[nodiscard]] int Run(const std::vector<std::string>& args);

  [[nodiscard]] const CLI::App& App() const { return m_app; }
  [[nodiscard]] CommandTree Tree() const { return CommandTree(m_app); }

 private:
  ToolContext& m_context;
  CLI::App m_app;
  std::vector<std::unique_ptr<ToolCommand>> m_commands;
};

}  // namespace symbols_tool
