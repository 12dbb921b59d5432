// Runs the symbols tool as a person would: a real process, its output caught in files of
// a scratch folder, a time limit turning a hang into a failure instead of a stuck suite.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/TextFiles.h"

namespace testsupport {

struct ToolResult {
  int status = -1;
  std::string out;
  std::string err;
};

[[nodiscard]] inline bool HaveTool() {
  return std::filesystem::exists(SYMBOLS_BINARY_DIR "/apps/symbols");
}

// environment: assignments put before the command ("LC_ALL=C"), or nothing; input: the
// file standard input reads.
[[nodiscard]] inline ToolResult RunTool(const std::filesystem::path& scratch, const std::string& args,
                                        const std::string& environment = "", const std::string& input = "/dev/null") {
  const std::string out = (scratch / "out.txt").string(), err = (scratch / "err.txt").string();
  const std::string command =
      environment + " timeout 60 " SYMBOLS_BINARY_DIR "/apps/symbols " + args + " >" + out + " 2>" + err + " <" + input;
  ToolResult result;
  const int raw = std::system(command.c_str());
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  result.out = Slurp(out);
  result.err = Slurp(err);
  return result;
}

}  // namespace testsupport
