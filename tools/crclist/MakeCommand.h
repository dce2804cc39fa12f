#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "DiscListing.h"
#include "checklist/CheckList.h"

// Texts and paths as given on the command line, in UTF-8; an empty text is left out of the list.
struct MakeOptions {
  std::string folder;
  std::string image;  // in place of the folder
  std::string title;
  std::string gameKey;
  std::string messageFile;
  std::string driveInfo;
  std::vector<std::string> registryFiles;  // NAME=FILE
  std::string output;                      // the folder's crclist.INF when empty; needed for an image
};

// Writes the check list of a disc folder: its files with their sizes and CRC-32 values, and the
// texts given. Nothing is written unless the whole list can be.
class MakeCommand {
 public:
  MakeCommand(MakeOptions chosen, bool progressShown);

  // 0 when the list was written, 2 when it could not be.
  int Run(std::ostream& out, std::ostream& err) const;

 private:
  bool ReadTexts(CheckList& list, std::ostream& err) const;
  bool ReadMessageFile(CheckList& list, std::ostream& err) const;
  bool ListRegistryFiles(CheckList& list, std::vector<std::string>& paths, std::ostream& err) const;
  bool FindDisc(std::string& root, std::ostream& err) const;
  bool ListDiscFiles(CheckList& list, DiscListing& listing, std::ostream& err) const;
  bool ChecksumImageFiles(const DiscListing& listing, CheckList& list, std::ostream& err) const;
  bool WriteList(const std::string& text, std::ostream& err) const;
  std::string OutputPath() const;

  MakeOptions options;
  bool showProgress;
};
