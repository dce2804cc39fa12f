#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "terminal/ProgressLine.h"

// The crclist commands behind one argument parser.
class CommandLine {
 public:
  // stopPolled is asked while files are read; progress goes to the error stream, as the
  // terminal there takes it.
  CommandLine(std::function<bool()> stopPolled, ProgressTerminal terminal);

  // Runs the command named by the arguments (the program's name left out) and gives its exit
  // code; a usage error gives 2.
  int Run(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) const;

 private:
  std::function<bool()> stopRequested;
  ProgressTerminal progressTerminal;
};
