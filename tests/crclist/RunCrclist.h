#pragma once

#include <string>
#include <vector>

struct Outcome {
  int code;
  std::string out;
  std::string err;
};

// Runs the command line in this process, as main would, without progress or Ctrl-C.
Outcome RunCrclist(const std::vector<std::string>& arguments);
