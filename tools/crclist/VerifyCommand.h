#pragma once

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "DiscReader.h"
#include "FolderReader.h"
#include "ListedFile.h"
#include "checklist/CheckList.h"

struct VerifyOptions {
  std::string root = ".";
  std::string image;  // in place of the root
  std::string list;   // the root's or the image's crclist.INF when empty
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
  // The image's own list, copied where the loader can read it.
  bool LoadImageList(CheckList& list, std::ostream& err) const;
  bool UseList(CheckList& list, const std::string& path, const std::string& shownPath,
               std::ostream& err) const;
  // The reader of the root's or the image's files; null, after telling why, when there is none.
  std::unique_ptr<DiscReader> OpenDisc(const std::string& root,
                                       const std::vector<ListedFile>& files,
                                       std::ostream& err) const;
  int VerifyFiles(const std::vector<ListedFile>& files, DiscReader& reader, std::ostream& out,
                  std::ostream& err) const;

  VerifyOptions options;
  std::function<bool()> stopRequested;
  bool showProgress;
};
