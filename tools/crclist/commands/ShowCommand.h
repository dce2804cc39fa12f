#pragma once

#include <ostream>
#include <string>

#include "commands/CommandOutcome.h"

struct ShowOptions {
  std::string file;
  std::string image;  // or the list inside this disc image
  bool json = false;
};

// Prints what Disksentry reads from a check list, through the program's own loader.
class ShowCommand {
 public:
  explicit ShowCommand(ShowOptions chosen);

  // 0 when the list loads, 1 when it does not, 2 when the file cannot be read.
  CommandOutcome Run(std::ostream& out) const;

 private:
  ShowOptions options;
};
