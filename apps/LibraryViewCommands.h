// The commands that show the catalogue: "library list", "library show" and "library
// find", as text for people or, with --json, for programs.
#pragma once

#include <string>

#include "ToolCommand.h"

namespace symbols_tool {

class ListCommand : public ToolCommand {
 public:
  void Register(CLI::App& parent) override;
  [[nodiscard]] int Run(ToolContext& context) override;

 private:
  bool m_json = false;
};

class ShowCommand : public ToolCommand {
 public:
  void Register(CLI::App& parent) override;
  [[nodiscard]] int Run(ToolContext& context) override;

 private:
  std::string m_kind;
  int m_id = 0;
  bool m_json = false;
};

class FindCommand : public ToolCommand {
 public:
  void Register(CLI::App& parent) override;
  [[nodiscard]] int Run(ToolContext& context) override;

 private:
  std::string m_text;
  bool m_json = false;
};

}  // namespace symbols_tool
