#include "CommandTree.h"

#include <functional>

namespace symbols_tool {

namespace {

// CLI11 writes a value's kind as its type name followed by each check's description:
// "INT", "TEXT:DIR", "TEXT:{shape,image,category}".
CommandTree::ValueKind KindOf(const std::string& typeName, std::vector<std::string>& choices) {
  const size_t open = typeName.find(":{");
  if (open != std::string::npos && typeName.back() == '}') {
    std::string list = typeName.substr(open + 2, typeName.size() - open - 3);
    size_t start = 0;
    while (start <= list.size()) {
      const size_t comma = std::min(list.find(',', start), list.size());
      if (comma > start) {
        choices.push_back(list.substr(start, comma - start));
      }
      start = comma + 1;
    }
    return CommandTree::ValueKind::kChoice;
  }
  if (typeName.rfind("DIR", 0) == 0 || typeName.find(":DIR") != std::string::npos) {
    return CommandTree::ValueKind::kFolder;
  }
  if (typeName.rfind("INT", 0) == 0 || typeName.rfind("FLOAT", 0) == 0 || typeName.rfind("UINT", 0) == 0) {
    return CommandTree::ValueKind::kNumber;
  }
  return CommandTree::ValueKind::kFile;
}

}  // namespace

const CommandTree::Node* CommandTree::Node::Subcommand(const std::string& word) const {
  for (const Node& node : subcommands) {
    if (node.name == word) {
      return &node;
    }
  }
  return nullptr;
}

CommandTree::CommandTree(const CLI::App& app) : m_root(Read(app, std::string())) {
  m_root.name.clear();
}

CommandTree::Node CommandTree::Read(const CLI::App& app, const std::string& path) {
  Node node;
  node.name = app.get_name();
  node.path = path;
  for (const CLI::Option* option : app.get_options()) {
    std::vector<std::string> choices;
    const ValueKind kind = KindOf(option->get_type_name(), choices);
    if (!option->nonpositional()) {
      node.arguments.push_back({option->get_name(), kind, std::move(choices)});
      continue;
    }
    if (option->get_group().empty()) {
      continue;  // hidden
    }
    Option entry;
    for (const std::string& name : option->get_lnames()) {
      entry.names.push_back("--" + name);
    }
    for (const std::string& name : option->get_snames()) {
      entry.names.push_back("-" + name);
    }
    if (option->get_type_size_max() > 0) {
      entry.value = kind;
      entry.choices = std::move(choices);
      entry.manyValues = option->get_items_expected_max() > 1;
    }
    node.options.push_back(std::move(entry));
  }
  const std::function<bool(const CLI::App*)> all;
  for (const CLI::App* sub : app.get_subcommands(all)) {
    node.subcommands.push_back(Read(*sub, path.empty() ? sub->get_name() : path + " " + sub->get_name()));
  }
  return node;
}

const CommandTree::Option* CommandTree::FindOption(const std::vector<const Node*>& chain, const std::string& name) {
  for (auto node = chain.rbegin(); node != chain.rend(); ++node) {
    for (const Option& option : (*node)->options) {
      for (const std::string& known : option.names) {
        if (known == name) {
          return &option;
        }
      }
    }
  }
  return nullptr;
}

}  // namespace symbols_tool
