#include "CommandLineHints.h"

#include <algorithm>
#include <cctype>
#include <numeric>

namespace symbols_tool {

namespace {

using Node = CommandTree::Node;

bool IsOptionWord(const std::string& word) {
  // "-" names standard input or output, "-5" and "-.5" are numbers.
  if (word.size() < 2 || word[0] != '-') {
    return false;
  }
  return word[1] == '-' || (std::isdigit(static_cast<unsigned char>(word[1])) == 0 && word[1] != '.');
}

// "'lst'": how a word of the command line is quoted in a message.
std::string Quoted(const std::string& word) {
  return "'" + word + "'";
}

std::string Suggestion(const std::vector<std::string>& nearest) {
  if (nearest.empty()) {
    return std::string();
  }
  std::string text = "; did you mean ";
  for (size_t i = 0; i < nearest.size(); ++i) {
    text += (i == 0 ? "" : i + 1 == nearest.size() ? " or " : ", ") + Quoted(nearest[i]);
  }
  return text + "?";
}

std::string Listed(const std::vector<std::string>& words) {
  std::string text;
  for (const std::string& word : words) {
    text += (text.empty() ? "" : ", ") + word;
  }
  return text;
}

std::string UnknownCommand(const std::string& word, const Node& node) {
  std::vector<std::string> names;
  for (const Node& sub : node.subcommands) {
    names.push_back(sub.name);
  }
  const std::string what = node.path.empty() ? "a command" : "a subcommand of " + node.path;
  const std::vector<std::string> nearest = CommandLineHints::Nearest(word, names);
  if (nearest.empty()) {
    return Quoted(word) + " is not " + what + " (" + (node.path.empty() ? "commands" : node.path + " has") + ": " +
           Listed(names) + ")";
  }
  return Quoted(word) + " is not " + what + Suggestion(nearest);
}

std::string UnknownOption(const std::string& name, const std::vector<const Node*>& chain) {
  std::vector<std::string> names;
  for (const Node* node : chain) {
    for (const CommandTree::Option& option : node->options) {
      for (const std::string& known : option.names) {
        if (known.rfind("--", 0) == 0) {
          names.push_back(known);
        }
      }
    }
  }
  const std::string& path = chain.back()->path;
  return Quoted(name) + " is not an option of " + (path.empty() ? "symbols" : path) +
         Suggestion(CommandLineHints::Nearest(name, names));
}

// The most edits a word of this many letters may be from the word meant.
size_t Tolerance(size_t letters) {
  return letters <= 4 ? 1 : letters <= 8 ? 2 : 3;
}

size_t Letters(const std::string& word) {
  return word.size() - std::min(word.find_first_not_of('-'), word.size());
}

}  // namespace

size_t CommandLineHints::Distance(std::string_view a, std::string_view b) {
  // Three rows of the table suffice: a swap looks two rows back.
  std::vector<size_t> before(b.size() + 1);
  std::vector<size_t> previous(b.size() + 1);
  std::vector<size_t> current(b.size() + 1);
  std::iota(previous.begin(), previous.end(), size_t{0});
  for (size_t i = 1; i <= a.size(); ++i) {
    current[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t cost = a[i - 1] == b[j - 1] ? 0 : 1;
      current[j] = std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + cost});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
        current[j] = std::min(current[j], before[j - 2] + 1);
      }
    }
    std::swap(before, previous);
    std::swap(previous, current);
  }
  return previous[b.size()];
}

std::vector<std::string> CommandLineHints::Nearest(const std::string& word,
                                                   const std::vector<std::string>& candidates) {
  std::vector<std::string> nearest;
  const size_t tolerance = Tolerance(Letters(word));
  size_t best = tolerance;
  for (const std::string& candidate : candidates) {
    const size_t distance = Distance(word, candidate);
    if (distance > tolerance || distance >= candidate.size()) {
      continue;
    }
    if (distance < best) {
      best = distance;
      nearest.clear();
    }
    if (distance == best && std::find(nearest.begin(), nearest.end(), candidate) == nearest.end()) {
      nearest.push_back(candidate);
    }
  }
  if (!nearest.empty() || Letters(word) < 2) {
    return nearest;
  }
  // "lib" for "library": the beginning of a word, not a slip.
  for (const std::string& candidate : candidates) {
    if (candidate.size() > word.size() && candidate.compare(0, word.size(), word) == 0 &&
        std::find(nearest.begin(), nearest.end(), candidate) == nearest.end()) {
      nearest.push_back(candidate);
    }
  }
  return nearest;
}

std::string CommandLineHints::Explain(const CommandTree& tree, const std::vector<std::string>& args) {
  std::vector<const Node*> chain = {&tree.Root()};
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& word = args[i];
    if (word == "--") {
      break;  // only arguments from here on
    }
    if (IsOptionWord(word)) {
      const size_t equals = word.find('=');
      const std::string name = word.substr(0, equals);
      const CommandTree::Option* option = CommandTree::FindOption(chain, name);
      if (option == nullptr) {
        return UnknownOption(name, chain);
      }
      if (option->value != CommandTree::ValueKind::kNone && equals == std::string::npos) {
        // The value follows; an option that takes many takes words up to the next option.
        do {
          ++i;
        } while (option->manyValues && i + 1 < args.size() && !IsOptionWord(args[i + 1]));
      }
      continue;
    }
    const Node& node = *chain.back();
    if (node.subcommands.empty()) {
      continue;  // an argument of the command
    }
    const Node* sub = node.Subcommand(word);
    if (sub == nullptr) {
      return UnknownCommand(word, node);
    }
    chain.push_back(sub);
  }
  return std::string();
}

}  // namespace symbols_tool
