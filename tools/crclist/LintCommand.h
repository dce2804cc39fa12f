#pragma once

#include <ostream>
#include <string>

struct LintOptions {
  std::string file;
  std::string root;  // when given, the listed disc files are looked up under it
};

// Reports with line and column what in a check list will not read as its author most likely
// meant.
class LintCommand {
 public:
  explicit LintCommand(LintOptions chosen);

  // 0 when nothing was found, 1 when something was, 2 when the file or the root cannot be read.
  int Run(std::ostream& out, std::ostream& err) const;

 private:
  LintOptions options;
};
