// Build step: writes the shell completion script and the commands section of the manual
// page from the tool's own command line, so that neither can drift from what it accepts.
//   make_shell_files COMPLETION_FILE MANUAL_SECTION_FILE
#include <algorithm>
#include <fstream>
#include <functional>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "BashCompletion.h"
#include "ToolCommandLine.h"

namespace {

using symbols_tool::CommandTree;

// Text for a roff line: backslashes written as escapes, and a line that would start with
// a control character kept as text.
std::string Roff(const std::string& line) {
  std::string out = line.empty() || (line[0] != '.' && line[0] != '\'') ? "" : "\\&";
  for (const char c : line) {
    out += c == '\\' ? std::string("\\e") : std::string(1, c);
  }
  return out;
}

// A help line cut at blanks into lines a terminal's manual shows whole, each continuation
// indented as the line was.
std::vector<std::string> Wrapped(const std::string& line) {
  constexpr size_t kWidth = 90;
  std::vector<std::string> lines;
  const size_t indent = std::min(line.find_first_not_of(' '), line.size());
  std::string rest = line;
  while (rest.size() > kWidth) {
    const size_t cut = rest.rfind(' ', kWidth);
    if (cut == std::string::npos || cut <= indent) {
      break;
    }
    lines.push_back(rest.substr(0, cut));
    rest = std::string(indent + 2, ' ') + rest.substr(cut + 1);
  }
  lines.push_back(rest);
  return lines;
}

// Every command that runs (those without subcommands), with its help as the tool prints it.
void WriteCommands(const CLI::App& app, const std::string& parent, const std::string& path, std::ostream& out) {
  const std::function<bool(const CLI::App*)> all;
  const auto subcommands = app.get_subcommands(all);
  if (!path.empty() && subcommands.empty()) {
    out << ".SS \"symbols " << path << "\"\n.nf\n";
    std::istringstream help(app.help(parent));
    for (std::string line; std::getline(help, line);) {
      for (const std::string& part : Wrapped(line)) {
        out << Roff(part) << "\n";
      }
    }
    out << ".fi\n";
  }
  for (const CLI::App* sub : subcommands) {
    WriteCommands(*sub, path.empty() ? "symbols" : "symbols " + path,
                  path.empty() ? sub->get_name() : path + " " + sub->get_name(), out);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: make_shell_files COMPLETION_FILE MANUAL_SECTION_FILE\n";
    return 2;
  }
  std::ostringstream ignored;
  symbols_tool::ToolContext context(ignored, ignored);
  const symbols_tool::ToolCommandLine line(context);
  std::ofstream completion(argv[1], std::ios::binary | std::ios::trunc);
  completion << symbols_tool::BashCompletion::Script(line.Tree(), "symbols");
  std::ofstream manual(argv[2], std::ios::binary | std::ios::trunc);
  manual << "[COMMANDS]\nEach command's own help, as symbols COMMAND --help prints it.\n";
  WriteCommands(line.App(), std::string(), std::string(), manual);
  completion.close();
  manual.close();
  if (!completion || !manual) {
    std::cerr << "make_shell_files: could not write " << argv[1] << " or " << argv[2] << "\n";
    return 1;
  }
  return 0;
}
