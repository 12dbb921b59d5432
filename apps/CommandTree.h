// The tool's command line as plain data, read from the parser's own definitions: each
// command with its subcommands, its options (which take a value, which want a folder)
// and its arguments. The typo hints and the shell completion both read it, so neither
// can drift from what the parser accepts.
#pragma once

#include <CLI/CLI.hpp>
#include <string>
#include <vector>

namespace symbols_tool {

class CommandTree {
 public:
  // What a value is, as far as completing it goes.
  enum class ValueKind { kNone, kFile, kFolder, kNumber, kChoice };

  struct Option {
    std::vector<std::string> names;  // "--json", "-h"
    ValueKind value = ValueKind::kNone;
    bool manyValues = false;           // takes every following word up to the next option
    std::vector<std::string> choices;  // for kChoice
  };

  struct Argument {
    std::string name;
    ValueKind value = ValueKind::kFile;
    std::vector<std::string> choices;
  };

  struct Node {
    std::string name;  // empty for the tool itself
    std::string path;  // "library list"; empty for the tool itself
    std::vector<Node> subcommands;
    std::vector<Option> options;  // the command's own; its parents' apply too
    std::vector<Argument> arguments;

    [[nodiscard]] const Node* Subcommand(const std::string& word) const;
  };

  // Reads the definitions of app and everything below it. Options without a name in the
  // help (hidden ones) are left out.
  explicit CommandTree(const CLI::App& app);

  [[nodiscard]] const Node& Root() const { return m_root; }
  // The option of node or of one of its parents that has the name ("--json", "-h"); null
  // when none has it. chain is the nodes from the root down to the node.
  [[nodiscard]] static const Option* FindOption(const std::vector<const Node*>& chain, const std::string& name);

 private:
  static Node Read(const CLI::App& app, const std::string& path);

  Node m_root;
};

}  // namespace symbols_tool
