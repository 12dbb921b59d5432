#include "BashCompletion.h"

#include <cctype>
#include <vector>

namespace symbols_tool {

namespace {

using Node = CommandTree::Node;
using ValueKind = CommandTree::ValueKind;

// A word for bash, single-quoted.
std::string Quote(const std::string& text) {
  std::string out = "'";
  for (const char c : text) {
    out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  }
  return out + "'";
}

std::string Joined(const std::vector<std::string>& words, char separator) {
  std::string text;
  for (const std::string& word : words) {
    text += (text.empty() ? "" : std::string(1, separator)) + word;
  }
  return text;
}

// How the script names a kind of value: "file", "folder", "number", "choice:a,b".
std::string KindWord(ValueKind kind, const std::vector<std::string>& choices) {
  switch (kind) {
    case ValueKind::kNone:
      return std::string();
    case ValueKind::kFile:
      return "file";
    case ValueKind::kFolder:
      return "folder";
    case ValueKind::kNumber:
      return "number";
    case ValueKind::kChoice:
      return "choice:" + Joined(choices, ',');
  }
  return "file";
}

struct Tables {
  std::string commands;
  std::string options;
  std::string values;
  std::string arguments;
};

// Keys are the command path after the program's name ("symbols library list"): bash
// has no empty key.
void Collect(const Node& node, const std::string& program, Tables& tables) {
  const std::string path = node.path.empty() ? program : program + " " + node.path;
  const std::string key = "[" + Quote(path) + "]=";
  std::vector<std::string> names;
  for (const Node& sub : node.subcommands) {
    names.push_back(sub.name);
  }
  if (!names.empty()) {
    tables.commands += "  " + key + Quote(Joined(names, ' ')) + "\n";
  }
  std::vector<std::string> options;
  for (const CommandTree::Option& option : node.options) {
    for (const std::string& name : option.names) {
      options.push_back(name);
      if (option.value != ValueKind::kNone) {
        tables.values += "  [" + Quote(path + " " + name) +
                         "]=" + Quote((option.manyValues ? "many:" : "") + KindWord(option.value, option.choices)) +
                         "\n";
      }
    }
  }
  if (!options.empty()) {
    tables.options += "  " + key + Quote(Joined(options, ' ')) + "\n";
  }
  std::vector<std::string> arguments;
  for (const CommandTree::Argument& argument : node.arguments) {
    arguments.push_back(KindWord(argument.value, argument.choices));
  }
  if (!arguments.empty()) {
    tables.arguments += "  " + key + Quote(Joined(arguments, ' ')) + "\n";
  }
  for (const Node& sub : node.subcommands) {
    Collect(sub, program, tables);
  }
}

// The completion function; @F@ stands for its name's stem.
const char* const kFunction = R"(
# The kind of value the option $1 takes under the command path $2 or one of its parents;
# empty for an option that takes none.
@F@_value_kind() {
  local path=$2
  while :; do
    if [[ -n ${@F@_values["$path $1"]+set} ]]; then
      printf '%s' "${@F@_values["$path $1"]}"
      return
    fi
    [[ $path == *' '* ]] || return
    path=${path% *}
  done
}

@F@_complete_value() {
  local kind=${1#many:} cur=$2
  case $kind in
    folder)
      compopt -o filenames 2>/dev/null
      mapfile -t COMPREPLY < <(compgen -d -- "$cur") ;;
    file)
      compopt -o filenames 2>/dev/null
      mapfile -t COMPREPLY < <(compgen -f -- "$cur") ;;
    choice:*)
      local choices=${kind#choice:}
      mapfile -t COMPREPLY < <(compgen -W "${choices//,/ }" -- "$cur") ;;
    *) COMPREPLY=() ;;
  esac
}

@F@() {
  local cur=${COMP_WORDS[COMP_CWORD]} path=@P@ word kind position=0 ended= i=1
  COMPREPLY=()
  while ((i < COMP_CWORD)); do
    word=${COMP_WORDS[i]}
    if [[ -z $ended && $word == -- ]]; then
      ended=1
    elif [[ -z $ended && $word == -[!0-9.]* ]]; then
      kind=$(@F@_value_kind "${word%%=*}" "$path")
      if [[ -n $kind && $word != *=* ]]; then
        # bash splits --opt=value at the equals sign.
        [[ ${COMP_WORDS[i + 1]} == = ]] && ((i++))
        if ((i + 1 == COMP_CWORD)); then
          @F@_complete_value "$kind" "$cur"
          return
        fi
        ((i++))
        while [[ $kind == many:* ]] && ((i + 1 < COMP_CWORD)) && [[ ${COMP_WORDS[i + 1]} != -* ]]; do
          ((i++))
        done
      fi
    elif [[ -z $ended && -n ${@F@_commands["$path"]+set} ]]; then
      [[ " ${@F@_commands["$path"]} " == *" $word "* ]] && path="$path $word" && position=0
    else
      ((position++))
    fi
    ((i++))
  done
  if [[ -z $ended && $cur == -* ]]; then
    local options= p=$path
    while :; do
      options+=" ${@F@_options["$p"]}"
      [[ $p == *' '* ]] || break
      p=${p% *}
    done
    mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur" | awk '!seen[$0]++')
  elif [[ -n ${@F@_commands["$path"]+set} ]]; then
    mapfile -t COMPREPLY < <(compgen -W "${@F@_commands["$path"]}" -- "$cur")
  else
    local -a kinds
    read -r -a kinds <<<"${@F@_arguments["$path"]}"
    ((position >= ${#kinds[@]})) && position=$((${#kinds[@]} - 1))
    ((position >= 0)) && @F@_complete_value "${kinds[position]}" "$cur"
  fi
}
)";

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

}  // namespace

std::string BashCompletion::Script(const CommandTree& tree, const std::string& program) {
  std::string stem = "_";
  for (const char c : program) {
    stem += std::isalnum(static_cast<unsigned char>(c)) != 0 ? c : '_';
  }
  Tables tables;
  Collect(tree.Root(), program, tables);
  std::string script = "# bash completion for " + program +
                       ": commands, subcommands and options, written from the tool's own command line.\n";
  script += "declare -gA " + stem + "_commands=(\n" + tables.commands + ")\n";
  script += "declare -gA " + stem + "_options=(\n" + tables.options + ")\n";
  script += "declare -gA " + stem + "_values=(\n" + tables.values + ")\n";
  script += "declare -gA " + stem + "_arguments=(\n" + tables.arguments + ")\n";
  script += Replaced(Replaced(kFunction, "@F@", stem), "@P@", Quote(program));
  script += "complete -F " + stem + " " + program + "\n";
  return script;
}

}  // namespace symbols_tool
