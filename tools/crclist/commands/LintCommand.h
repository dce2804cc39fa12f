#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "commands/CommandOutcome.h"
#include "disc/listing/DiscListing.h"
#include "lists/Finding.h"

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
  CommandOutcome Run(std::ostream& out) const;

 private:
  // The disc's files and how findings name the disc, with what an image's trees and sectors
  // tell; false, with the error, when it cannot be read.
  bool ListDisc(DiscListing& disc, std::string& shownDisc, std::vector<Finding>& imageFindings,
                std::string& error) const;

  LintOptions options;
};
