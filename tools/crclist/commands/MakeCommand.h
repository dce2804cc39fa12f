#pragma once

#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "checklist/CheckList.h"
#include "commands/CommandOutcome.h"
#include "disc/listing/DiscListing.h"
#include "terminal/ProgressLine.h"

// Texts and paths as given on the command line, in UTF-8; an empty text is left out of the list.
struct MakeOptions {
  std::string folder;
  std::string image;  // in place of the folder
  std::string title;
  std::string gameKey;
  std::string messageFile;
  std::string driveInfo;
  std::vector<std::string> registryFiles;  // NAME=FILE
  std::string output;  // the folder's crclist.INF when empty; needed for an image
};

// Writes the check list of a disc folder: its files with their sizes and CRC-32 values, and the
// texts given. Nothing is written unless the whole list can be, and a list that the program
// cannot use is refused; a list already there stays as it was until the new one replaces it.
class MakeCommand {
 public:
  MakeCommand(MakeOptions chosen, std::function<bool()> stopPolled, ProgressTerminal terminal);

  // 0 when the list was written, 2 when it could not be, 130 when stopped.
  CommandOutcome Run(std::ostream& out, std::ostream& err) const;

 private:
  // Each gives false, with why, when the list cannot be made.
  bool ReadTexts(CheckList& list, std::string& why) const;
  bool ReadMessageFile(CheckList& list, std::string& why) const;
  bool ListRegistryFiles(CheckList& list, std::vector<std::string>& paths, std::string& why) const;
  bool FindDisc(std::string& root, std::string& why) const;
  bool ListDiscFiles(CheckList& list, DiscListing& listing, std::string& why) const;
  // The progress line goes to err.
  int ComputeChecksums(const std::string& root, const std::vector<std::string>& registryPaths,
                       const DiscListing& listing, CheckList& list, std::ostream& err,
                       std::string& why) const;
  bool ReplaceList(const std::filesystem::path& temporary, const std::string& text,
                   std::string& why) const;
  std::string OutputPath() const;

  MakeOptions options;
  std::function<bool()> stopRequested;
  ProgressTerminal progressTerminal;
};
