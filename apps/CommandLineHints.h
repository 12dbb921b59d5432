// What a person most likely mistyped on a command line the parser refused: the first word
// that is not a command, subcommand or option where one is expected, with the known
// word nearest to it, so that the error says "did you mean 'library'?" instead of the
// parser's generic complaint.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "CommandTree.h"

namespace symbols_tool {

class CommandLineHints {
 public:
  // The message for the first unknown command, subcommand or option of args (the words
  // after the program's name); empty when each of them is known.
  [[nodiscard]] static std::string Explain(const CommandTree& tree, const std::vector<std::string>& args);

  // Edits that turn a into b: insertions, deletions, substitutions and swaps of two
  // neighbouring characters.
  [[nodiscard]] static size_t Distance(std::string_view a, std::string_view b);
  // The candidates near enough to word to be a slip of the fingers (the nearest ones,
  // or the one that word begins), in the candidates' order; empty when none is.
  [[nodiscard]] static std::vector<std::string> Nearest(const std::string& word,
                                                        const std::vector<std::string>& candidates);
};

}  // namespace symbols_tool
