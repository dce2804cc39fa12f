#include "reference/BashCompletion.h"

#include <CLI/CLI.hpp>
#include <vector>

namespace {

std::vector<const CLI::App*> Commands(const CLI::App& app) {
  return app.get_subcommands([](const CLI::App*) { return true; });
}

std::string Names(const CLI::Option& option) {
  std::string names;
  for (const std::string& name : option.get_snames())
    names += (names.empty() ? "" : " ") + ("-" + name);
  for (const std::string& name : option.get_lnames())
    names += (names.empty() ? "" : " ") + ("--" + name);
  return names;
}

// The shell words that complete a value of that kind; empty when nothing can be offered.
std::string ValueCompletion(const std::string& kind) {
  if (kind.find('|') != std::string::npos) {
    std::string words = kind;
    for (char& c : words) c = c == '|' ? ' ' : c;
    return "_crclist_words '" + words + "'";
  }
  if (kind == "DIR") return "_crclist_files -d";
  if (kind == "FILE" || kind == "IMAGE") return "_crclist_files -f";
  return "";
}

// The words an option or a command name may start with.
std::string OptionWords(const CLI::App& command) {
  std::string words;
  for (const CLI::Option* option : command.get_options()) {
    if (!option->get_positional()) words += (words.empty() ? "" : " ") + Names(*option);
  }
  return words;
}

// The command's branch: the value after an option that takes one, else an option, else a
// positional.
std::string CommandBranch(const CLI::App& command) {
  std::string values;
  std::string positional;
  for (const CLI::Option* option : command.get_options()) {
    if (option->get_positional()) {
      positional = ValueCompletion(option->get_name(true) == "DIR" ? "DIR" : "FILE");
    } else if (option->get_expected_max() > 0) {
      std::string names = Names(*option);
      for (char& c : names) c = c == ' ' ? '|' : c;
      const std::string completion = ValueCompletion(option->get_type_name());
      values +=
          "        " + names + ") " + (completion.empty() ? "" : completion + "; ") + "return ;;\n";
    }
  }
  std::string branch = "    " + command.get_name() + ")\n";
  if (!values.empty()) branch += "      case $prev in\n" + values + "      esac\n";
  branch +=
      "      if [[ $cur == -* ]]; then\n        _crclist_words '" + OptionWords(command) + "'\n";
  if (!positional.empty()) branch += "      else\n        " + positional + "\n";
  return branch + "      fi\n      ;;\n";
}

}  // namespace

namespace bash_completion {

std::string Script(const CLI::App& app) {
  std::string pattern;
  std::string words;
  for (const CLI::App* command : Commands(app)) {
    pattern += (pattern.empty() ? "" : "|") + command->get_name();
    words += command->get_name() + " ";
  }
  std::string script =
      "# bash completion for crclist, written from its argument parser.\n"
      "\n"
      "_crclist_words() {\n"
      "  mapfile -t COMPREPLY < <(compgen -W \"$1\" -- \"$cur\")\n"
      "}\n"
      "\n"
      "# -f for files (and the folders on the way to them), -d for folders.\n"
      "_crclist_files() {\n"
      "  compopt -o filenames 2>/dev/null\n"
      "  mapfile -t COMPREPLY < <(compgen \"$1\" -- \"$cur\")\n"
      "}\n"
      "\n"
      "_crclist() {\n"
      "  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]} command= i\n"
      "  # \"=\" breaks words: --reading=se arrives as --reading, = and se.\n"
      "  if [[ $cur == = ]]; then\n"
      "    cur=\n"
      "  elif [[ $prev == = ]]; then\n"
      "    prev=${COMP_WORDS[COMP_CWORD - 2]}\n"
      "  fi\n"
      "  COMPREPLY=()\n"
      "  for ((i = 1; i < COMP_CWORD; i++)); do\n"
      "    case ${COMP_WORDS[i]} in\n"
      "      " +
      pattern +
      ") command=${COMP_WORDS[i]}; break ;;\n"
      "    esac\n"
      "  done\n"
      "  case $command in\n"
      "    '') _crclist_words '" +
      words + OptionWords(app) + "' ;;\n";
  for (const CLI::App* command : Commands(app)) script += CommandBranch(*command);
  return script + "  esac\n}\n\ncomplete -F _crclist crclist\n";
}

}  // namespace bash_completion
