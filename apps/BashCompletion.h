// The bash completion script of the tool, written from its command tree: commands,
// subcommands and options by where the cursor is, folders after options that want one,
// files after those that want a file, the choices of an argument that has them.
#pragma once

#include <string>

#include "CommandTree.h"

namespace symbols_tool {

class BashCompletion {
 public:
  // The script for the program name (the word the completion is for, "symbols").
  [[nodiscard]] static std::string Script(const CommandTree& tree, const std::string& program);
};

}  // namespace symbols_tool
