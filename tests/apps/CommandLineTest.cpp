// The tool's command line as a person types it: mistyped commands, subcommands and
// options get the nearest known word; the shell completion and the manual page, both
// written from the same definitions at build time, offer and describe every command.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "BashCompletion.h"
#include "CommandLineHints.h"
#include "ToolCommandLine.h"
#include "support/TempFolder.h"
#include "support/TextFiles.h"
#include "support/ToolRun.h"

namespace {

using symbols_tool::CommandLineHints;
using symbols_tool::CommandTree;
using symbols_tool::ToolCommandLine;
using symbols_tool::ToolContext;

struct Parsed {
  int status = -1;
  std::string out;
  std::string err;
};

// The tool's command line in process, on words as the shell splits them.
Parsed Parse(const std::vector<std::string>& args) {
  std::ostringstream out;
  std::ostringstream err;
  std::istringstream in;
  ToolContext context(out, err, in);
  ToolCommandLine line(context);
  Parsed parsed;
  parsed.status = line.Run(args);
  parsed.out = out.str();
  parsed.err = err.str();
  return parsed;
}

TEST(CommandLine, MistypedWordsGetTheNearestKnownOne) {
  struct Case {
    std::vector<std::string> args;
    std::string message;
  };
  const Case cases[] = {
      {{"libary", "list"}, "'libary' is not a command; did you mean 'library'?"},
      {{"library", "lst"}, "'lst' is not a subcommand of library; did you mean 'list'?"},
      {{"library", "lsit", "--json"}, "'lsit' is not a subcommand of library; did you mean 'list'?"},
      {{"library", "list", "--jsno"}, "'--jsno' is not an option of library list; did you mean '--json'?"},
      {{"library", "list", "-json"}, "'-json' is not an option of library list; did you mean '--json'?"},
      {{"--bsae", "x", "library", "list"}, "'--bsae' is not an option of symbols; did you mean '--base'?"},
      // "libary" is the folder --base takes; the word after it is the command.
      {{"--base", "libary", "librar", "list"}, "'librar' is not a command; did you mean 'library'?"},
      {{"doc", "stamp", "d", "--image", "1", "--rotae", "90"},
       "'--rotae' is not an option of doc stamp; did you mean '--rotate'?"},
      {{"doc", "hid", "d", "/P"}, "'hid' is not a subcommand of doc; did you mean 'hide'?"},
      {{"gallary", "--out", "-"}, "'gallary' is not a command; did you mean 'gallery'?"},
      {{"lib", "list"}, "'lib' is not a command; did you mean 'library'?"},
      {{"frobnicate"}, "'frobnicate' is not a command (commands: library, gallery, page, demo, doc)"},
  };
  for (const Case& c : cases) {
    const Parsed parsed = Parse(c.args);
    std::string line;
    for (const std::string& word : c.args) {
      line += word + " ";
    }
    EXPECT_EQ(parsed.status, 2) << line;
    EXPECT_EQ(parsed.err, "symbols: " + c.message + " (see symbols --help)\n") << line;
  }
  // Words that are all known keep the parser's own message.
  const Parsed missing = Parse({"library", "show", "shape"});
  EXPECT_EQ(missing.status, 2);
  EXPECT_EQ(missing.err.find("is not a"), std::string::npos) << missing.err;
}

TEST(CommandLine, HintsLeaveArgumentsAndOptionValuesAlone) {
  std::ostringstream sink;
  ToolContext context(sink, sink);
  const ToolCommandLine line(context);
  const CommandTree tree = line.Tree();
  // "-" and negative numbers are arguments, not options; after "--" nothing is checked.
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"library", "check", "-"},
           {"library", "show", "shape", "-5"},
           {"library", "show", "--", "shape", "--whatever"},
           {"doc", "place", "d", "--part", "/A", "/B", "--shape", "3"},
           {"doc", "move", "d", "/P", "--by=-1,0,0"},
           {"--shared=lst", "library", "list"},
       }) {
    EXPECT_EQ(CommandLineHints::Explain(tree, args), "") << args[0] << " " << args[1];
  }
}

TEST(CommandLine, DistanceCountsSwapsAsOneEdit) {
  EXPECT_EQ(CommandLineHints::Distance("library", "library"), 0u);
  EXPECT_EQ(CommandLineHints::Distance("libary", "library"), 1u);
  EXPECT_EQ(CommandLineHints::Distance("lsit", "list"), 1u);
  EXPECT_EQ(CommandLineHints::Distance("", "doc"), 3u);
  EXPECT_EQ(CommandLineHints::Distance("kitten", "sitting"), 3u);
  // Equally near candidates are all offered; far ones never are.
  EXPECT_EQ(CommandLineHints::Nearest("sho", {"show", "hide", "shop"}), (std::vector<std::string>{"show", "shop"}));
  EXPECT_TRUE(CommandLineHints::Nearest("xyz", {"show", "hide"}).empty());
  EXPECT_TRUE(CommandLineHints::Nearest("d", {"doc", "demo"}).empty()) << "one letter is no beginning";
  EXPECT_EQ(CommandLineHints::Nearest("de", {"doc", "demo"}), (std::vector<std::string>{"demo"}));
}

TEST(CommandLine, TheTreeHasEveryCommandWithItsOptionsAndArguments) {
  std::ostringstream sink;
  ToolContext context(sink, sink);
  const CommandTree tree = ToolCommandLine(context).Tree();
  const CommandTree::Node* show = tree.Root().Subcommand("library")->Subcommand("show");
  ASSERT_NE(show, nullptr);
  EXPECT_EQ(show->path, "library show");
  ASSERT_EQ(show->arguments.size(), 2u);
  EXPECT_EQ(show->arguments[0].value, CommandTree::ValueKind::kChoice);
  EXPECT_EQ(show->arguments[0].choices, (std::vector<std::string>{"shape", "image", "category"}));
  EXPECT_EQ(show->arguments[1].value, CommandTree::ValueKind::kNumber);
  const CommandTree::Option* base = CommandTree::FindOption({&tree.Root(), show}, "--base");
  ASSERT_NE(base, nullptr);
  EXPECT_EQ(base->value, CommandTree::ValueKind::kFolder);
  const CommandTree::Node* place = tree.Root().Subcommand("doc")->Subcommand("place");
  const CommandTree::Option* part = CommandTree::FindOption({&tree.Root(), place}, "--part");
  ASSERT_NE(part, nullptr);
  EXPECT_TRUE(part->manyValues);
  // Commands that change a document answer in JSON too; flatten writes a page.
  EXPECT_NE(CommandTree::FindOption({&tree.Root(), place}, "--json"), nullptr);
  const CommandTree::Node* flatten = tree.Root().Subcommand("doc")->Subcommand("flatten");
  EXPECT_EQ(CommandTree::FindOption({&tree.Root(), flatten}, "--json"), nullptr);
}

class ShellFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!testsupport::HaveTool()) {
      GTEST_SKIP() << "built without the tool";
    }
  }

  // What the completion offers for the words of a line, the last being completed.
  std::vector<std::string> Complete(const std::vector<std::string>& words) const {
    std::string array;
    for (const std::string& word : words) {
      array += " '" + word + "'";
    }
    const std::string script = temp.Write("complete.sh", "source " SYMBOLS_BINARY_DIR "/apps/completion/symbols\ncd '" +
                                                             temp.Path() + "'\nCOMP_WORDS=(symbols" + array +
                                                             ")\nCOMP_CWORD=" + std::to_string(words.size()) +
                                                             "\n_symbols\nprintf '%s\\n' \"${COMPREPLY[@]}\"\n");
    const std::string out = temp.File("completions.txt");
    EXPECT_EQ(std::system(("bash --noprofile --norc " + script + " >" + out + " 2>&1").c_str()), 0);
    std::vector<std::string> offered;
    std::istringstream lines(testsupport::Slurp(out));
    for (std::string line; std::getline(lines, line);) {
      if (!line.empty()) {
        offered.push_back(line);
      }
    }
    return offered;
  }

  testsupport::TempFolder temp;
};

TEST_F(ShellFiles, CompletionOffersCommandsSubcommandsOptionsAndValues) {
  using Words = std::vector<std::string>;
  EXPECT_EQ(Complete({""}), (Words{"library", "gallery", "page", "demo", "doc"}));
  EXPECT_EQ(Complete({"li"}), (Words{"library"}));
  EXPECT_EQ(Complete({"library", ""}), (Words{"list", "show", "check", "find", "export"}));
  EXPECT_EQ(Complete({"--base", "/tmp", "doc", "h"}), (Words{"hide"}));
  EXPECT_EQ(Complete({"library", "list", "--j"}), (Words{"--json"}));
  EXPECT_EQ(Complete({"library", "list", "--h"}), (Words{"--help"})) << "each option once";
  // The tool's own options count under every command.
  EXPECT_EQ(Complete({"doc", "list", "d", "--sh"}), (Words{"--shared", "--shared-enabled"}));
  EXPECT_EQ(Complete({"doc", "stamp", "d", "--r"}), (Words{"--rotate", "--reverse"}));
  EXPECT_EQ(Complete({"library", "show", ""}), (Words{"shape", "image", "category"}));
  EXPECT_TRUE(Complete({"library", "show", "shape", ""}).empty()) << "an identifier is a number";
  // Files and folders where the option wants them.
  temp.Write("folder/inside.txt", "");
  temp.Write("file.svg", "");
  EXPECT_EQ(Complete({"--base", "fo"}), (Words{"folder"}));
  EXPECT_EQ(Complete({"--base", "fi"}), Words{}) << "a file is no folder";
  EXPECT_EQ(Complete({"page", "--out", "fi"}), (Words{"file.svg"}));
  // bash splits --out=fi at the equals sign.
  EXPECT_EQ(Complete({"page", "--out", "=", "fi"}), (Words{"file.svg"}));
}

TEST_F(ShellFiles, TheManualPageDescribesEveryCommand) {
  const std::string page = SYMBOLS_BINARY_DIR "/apps/man/man1/symbols.1";
  if (!std::filesystem::exists(page)) {
    GTEST_SKIP() << "built without help2man";
  }
  const std::string out = temp.File("man.txt");
  ASSERT_EQ(std::system(("MANWIDTH=100 man -l " + page + " >" + out + " 2>&1").c_str()), 0);
  const std::string text = testsupport::Slurp(out);
  for (const char* part :
       {"symbols library list", "symbols library check", "symbols doc stamp", "symbols doc flatten", "symbols gallery",
        "--shared-enabled", "EXIT STATUS", "SymbolsLibrary/PartSymbolLibrary.xml", "standard output"}) {
    EXPECT_NE(text.find(part), std::string::npos) << part;
  }
  EXPECT_EQ(text.find("\\e"), std::string::npos) << "an escape left unrendered";
}

}  // namespace
