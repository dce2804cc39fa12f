#include "RunCrclist.h"

#include <sstream>

#include "commands/CommandLine.h"

Outcome RunCrclist(const std::vector<std::string>& arguments) {
  std::ostringstream out;
  std::ostringstream err;
  const CommandLine commandLine([] { return false; }, ProgressTerminal{});
  const int code = commandLine.Run(arguments, out, err);
  return {code, out.str(), err.str()};
}
