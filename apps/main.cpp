// symbols: look at, check, search, export and picture a symbol library from the shell.
#include <CLI/CLI.hpp>
#include <filesystem>
#include <iostream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "CheckCommand.h"
#include "DemoCommand.h"
#include "DocumentCommands.h"
#include "ExportCommand.h"
#include "GalleryCommand.h"
#include "LibraryViewCommands.h"
#include "PageCommand.h"
#include "ToolCommand.h"
#include "ToolContext.h"

namespace {

using symbols_tool::ToolCommand;
using symbols_tool::ToolContext;

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
  return std::make_unique<symbols_tool::DocShowCommand>(kShow);
}

const CommandEntry kCommands[] = {
    {"library", Make<symbols_tool::ListCommand>},
    {"library", Make<symbols_tool::ShowCommand>},
    {"library", Make<symbols_tool::CheckCommand>},
    {"library", Make<symbols_tool::FindCommand>},
    {"library", Make<symbols_tool::ExportCommand>},
    {"", Make<symbols_tool::GalleryCommand>},
    {"", Make<symbols_tool::PageCommand>},
    {"", Make<symbols_tool::DemoCommand>},
    {"doc", Make<symbols_tool::DocNewCommand>},
    {"doc", Make<symbols_tool::DocPlaceCommand>},
    {"doc", Make<symbols_tool::DocStampCommand>},
    {"doc", Make<symbols_tool::DocMoveCommand>},
    {"doc", MakeShow<false>},
    {"doc", MakeShow<true>},
    {"doc", Make<symbols_tool::DocListCommand>},
    {"doc", Make<symbols_tool::DocFlattenCommand>},
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

int Run(int argc, char** argv, ToolContext& context) {
  CLI::App app(
      "Looks at a symbol library: the merged catalogue of the shared, standard and user library files. "
      "Without --base it uses the embedded sample library. Exit status: 0 success, 1 failure (or problems "
      "found by check), 2 bad usage.",
      "symbols");
  app.get_formatter()->label("Usage", "usage");
  app.option_defaults()->always_capture_default(false);
  app.set_version_flag("--version", "symbols " SYMBOLS_TOOL_VERSION);
  app.require_subcommand(1);
  // Options of the whole tool may come anywhere on the line.
  app.fallthrough();
  symbols_tool::Locations& locations = context.GetLocations();
  app.add_option("--base", locations.base, "Folder that holds SymbolsLibrary (the illustration preferences' base)")
      ->check(CLI::Validator(CheckBase, "DIR"));
  app.add_option("--shared", locations.shared, "Shared cache preferences folder (holds SymbolsLibrary)");
  app.add_flag("--shared-enabled", locations.sharedEnabled, "Take the shared library into the catalogue");

  std::vector<std::unique_ptr<ToolCommand>> commands;
  std::map<std::string, CLI::App*> groups;
  for (const CommandEntry& entry : kCommands) {
    CLI::App* parent = &app;
    if (*entry.group != '\0') {
      CLI::App*& group = groups[entry.group];
      if (group == nullptr) {
        const char* description = "";
        for (const GroupEntry& known : kGroups) {
          description = std::string(known.name) == entry.group ? known.description : description;
        }
        group = app.add_subcommand(entry.group, description);
        group->require_subcommand(1);
      }
      parent = group;
    }
    commands.push_back(entry.make());
    commands.back()->Register(*parent);
  }

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    if (error.get_exit_code() == 0) {
      return app.exit(error);  // help or version, on standard output
    }
    return context.Usage(error.what());
  }
  for (const auto& command : commands) {
    if (command->IsSelected()) {
      return command->Run(context);
    }
  }
  return context.Usage("no command given");
}

}  // namespace

int main(int argc, char** argv) {
  ToolContext context(std::cout, std::cerr);
  try {
    return Run(argc, argv, context);
  } catch (const std::exception& e) {
    return context.Failure(e.what());
  } catch (...) {
    return context.Failure("unexpected failure");
  }
}
