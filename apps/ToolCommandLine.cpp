#include "ToolCommandLine.h"

#include <filesystem>
#include <map>

#include "CheckCommand.h"
#include "CommandLineHints.h"
#include "DemoCommand.h"
#include "DocumentCommands.h"
#include "ExportCommand.h"
#include "GalleryCommand.h"
#include "LibraryViewCommands.h"
#include "PageCommand.h"

namespace symbols_tool {

namespace {

// The tool's commands, each under its group ("" for the top level). A new command is
// one more line here.
struct CommandEntry {
  const char* group;
  std::unique_ptr<ToolCommand> (*make)();
};

template <class Command>
std::unique_ptr<ToolCommand> Make() {
  return std::make_unique<Command>();
}

template <bool kShow>
std::unique_ptr<ToolCommand> MakeShow() {
  return std::make_unique<DocShowCommand>(kShow);
}

const CommandEntry kCommands[] = {
    {"library", Make<ListCommand>},   {"library", Make<ShowCommand>},   {"library", Make<CheckCommand>},
    {"library", Make<FindCommand>},   {"library", Make<ExportCommand>}, {"", Make<GalleryCommand>},
    {"", Make<PageCommand>},          {"", Make<DemoCommand>},          {"doc", Make<DocNewCommand>},
    {"doc", Make<DocPlaceCommand>},   {"doc", Make<DocStampCommand>},   {"doc", Make<DocMoveCommand>},
    {"doc", MakeShow<false>},         {"doc", MakeShow<true>},          {"doc", Make<DocListCommand>},
    {"doc", Make<DocFlattenCommand>},
};

// Groups of commands and what they are for.
struct GroupEntry {
  const char* name;
  const char* description;
};
const GroupEntry kGroups[] = {
    {"library", "Look at, check, search and export the merged library"},
    {"doc", "Documents: a model with its annotations, driven through the module as a host drives it"},
};

// A base folder is given as one that exists or not at all; an empty one or a file is a
// mistake on the command line. A missing folder is reported when the library is read.
std::string CheckBase(const std::string& base) {
  if (base.empty()) {
    return "--base needs a folder";
  }
  std::error_code ignored;
  if (std::filesystem::exists(base, ignored) && !std::filesystem::is_directory(base, ignored)) {
    return "--base is not a folder: " + base;
  }
  return std::string();
}

}  // namespace

ToolCommandLine::ToolCommandLine(ToolContext& context)
    : m_context(context),
      m_app(
          "Looks at a symbol library: the merged catalogue of the shared, standard and user library files. "
          "Without --base it uses the embedded sample library. Wherever a file is named, - names standard input "
          "or output. Exit status: 0 success, 1 failure (or problems found by check), 2 bad usage.",
          "symbols") {
  m_app.get_formatter()->label("Usage", "usage");
  m_app.option_defaults()->always_capture_default(false);
  m_app.set_version_flag("--version", "symbols " SYMBOLS_TOOL_VERSION);
  m_app.require_subcommand(1);
  // Options of the whole tool may come anywhere on the line.
  m_app.fallthrough();
  Locations& locations = context.GetLocations();
  m_app.add_option("--base", locations.base, "Folder that holds SymbolsLibrary (the illustration preferences' base)")
      ->check(CLI::Validator(CheckBase, "DIR"));
  m_app.add_option("--shared", locations.shared, "Shared cache preferences folder (holds SymbolsLibrary)")
      ->type_name("DIR");
  m_app.add_flag("--shared-enabled", locations.sharedEnabled, "Take the shared library into the catalogue");

  std::map<std::string, CLI::App*> groups;
  for (const CommandEntry& entry : kCommands) {
    CLI::App* parent = &m_app;
    if (*entry.group != '\0') {
      CLI::App*& group = groups[entry.group];
      if (group == nullptr) {
        const char* description = "";
        for (const GroupEntry& known : kGroups) {
          description = std::string(known.name) == entry.group ? known.description : description;
        }
        group = m_app.add_subcommand(entry.group, description);
        group->require_subcommand(1);
      }
      parent = group;
    }
    m_commands.push_back(entry.make());
    m_commands.back()->Register(*parent);
  }
}

int ToolCommandLine::Run(const std::vector<std::string>& args) {
  // The parser takes the words last first.
  std::vector<std::string> reversed(args.rbegin(), args.rend());
  try {
    m_app.parse(reversed);
  } catch (const CLI::ParseError& error) {
    if (error.get_exit_code() == 0) {
      return m_app.exit(error, m_context.Out(), m_context.Err());  // help or version
    }
    const std::string hint = CommandLineHints::Explain(Tree(), args);
    return m_context.Usage(hint.empty() ? std::string(error.what()) : hint);
  }
  for (const auto& command : m_commands) {
    if (command->IsSelected()) {
      return command->Run(m_context);
    }
  }
  return m_context.Usage("no command given");
}

}  // namespace symbols_tool
