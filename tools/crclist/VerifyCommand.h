#pragma once

#include <functional>
#include <ostream>
#include <string>

#include "FolderReader.h"
#include "checklist/CheckList.h"

struct VerifyOptions {
  std::string root = ".";
  std::string list;  // the root's crclist.INF when empty
  bool keepGoing = false;
  ReadingOrder reading = ReadingOrder::Auto;
};

// The disc check without windows: every CDFILES entry under the root and every GAMEDATA entry
// under its gamedata folder, in list order, stopping at the first failure like the program
// unless asked to go on.
class VerifyCommand {
 public:
  VerifyCommand(VerifyOptions chosen, std::function<bool()> stopPolled, bool progressShown);

  // 0 when every file verified, 1 when one failed or the run was stopped, 2 when the list cannot
  // be used.
  int Run(std::ostream& out, std::ostream& err) const;

 private:
  // The list at its path, through the program's loader; false, after telling why, when it cannot
  // be used. root gets the root as a CP932 path.
  bool LoadList(CheckList& list, std::string& root, std::ostream& err) const;
  int VerifyFiles(const CheckList& list, const std::string& root, std::ostream& out,
                  std::ostream& err) const;

  VerifyOptions options;
  std::function<bool()> stopRequested;
  bool showProgress;
};
