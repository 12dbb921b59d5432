// One command of the symbols tool. Each command lives in files of its own: it adds its
// subcommand with options and arguments to the command line, and runs when given.
//
// A new command is a class derived from ToolCommand and one line in the list of
// commands in main.cpp.
#pragma once

#include <CLI/CLI.hpp>

#include "ToolContext.h"

namespace symbols_tool {

class ToolCommand {
 public:
  virtual ~ToolCommand() = default;

  // Adds the command's subcommand (and any of its own) to parent.
  virtual void Register(CLI::App& parent) = 0;
  // True when the command line named this command.
  [[nodiscard]] bool IsSelected() const { return m_app != nullptr && m_app->parsed(); }
  // Runs the command; the exit status (0 success, 1 failure, 2 bad usage).
  [[nodiscard]] virtual int Run(ToolContext& context) = 0;

 protected:
  // The command's subcommand, set by Register.
  CLI::App* m_app = nullptr;
};

}  // namespace symbols_tool
