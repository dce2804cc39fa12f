#pragma once

#include <ostream>
#include <string>

#include "DiscListing.h"

struct LintOptions {
  std::string file;
  std::string root;   // when given, the listed disc files are looked up under it
  std::string image;  // or in this disc image
};

// Reports with line and column what in a check list will not read as its author most likely
// meant.
class LintCommand {
 public:
  explicit LintCommand(LintOptions chosen);

  // 0 when nothing was found, 1 when something was, 2 when the file or the disc cannot be read.
  int Run(std::ostream& out, std::ostream& err) const;

 private:
  // The disc's files and how findings name the disc; false, after telling why, when it cannot be
  // read.
  bool ListDisc(DiscListing& disc, std::string& shownDisc, std::ostream& err) const;

  LintOptions options;
};
