#pragma once

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "commands/LintCommand.h"
#include "commands/MakeCommand.h"
#include "commands/ShowCommand.h"
#include "commands/VerifyCommand.h"
#include "terminal/ProgressLine.h"

namespace CLI {
class App;
}

// What the arguments of each command set.
struct CommandOptions {
  MakeOptions make;
  ShowOptions show;
  LintOptions lint;
  VerifyOptions verify;
};

// The crclist commands behind one argument parser.
class CommandLine {
 public:
  // stopPolled is asked while files are read; progress goes to the error stream, as the
  // terminal there takes it.
  CommandLine(std::function<bool()> stopPolled, ProgressTerminal terminal);

  // The parser of every command, reading into options: the one description of the commands that
  // --help, the manual page and the shell completion are made from. An option's type name is
  // the word its value stands for; the words of a value chosen from a few are joined by "|".
  static std::unique_ptr<CLI::App> Parser(CommandOptions& options);

  // Runs the command named by the arguments (the program's name left out) and gives its exit
  // code; a usage error gives 2.
  int Run(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) const;

 private:
  std::function<bool()> stopRequested;
  ProgressTerminal progressTerminal;
};
