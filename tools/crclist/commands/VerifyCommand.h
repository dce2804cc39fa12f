#pragma once

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "checklist/CheckList.h"
#include "commands/CommandOutcome.h"
#include "commands/ReadEach.h"
#include "commands/VerifyReport.h"
#include "disc/listing/DiscListing.h"
#include "disc/DiscReader.h"
#include "disc/FolderReader.h"
#include "lists/Linter.h"
#include "lists/ListedFile.h"
#include "terminal/ProgressLine.h"

struct VerifyOptions {
  std::string list;   // a check list, or a folder holding crclist.INF; the disc's own when empty
  std::string root;   // the disc folder; the list's folder when empty, else the current one
  std::string image;  // an image of the disc, in place of the root
  std::string json;   // where the JSON report goes, "-" for standard output; none when empty
  bool keepGoing = false;
  bool strict = false;
  bool quiet = false;
  bool verbose = false;
  ReadingOrder reading = ReadingOrder::Auto;
};

// The disc check without windows: every CDFILES entry under the root and every GAMEDATA entry
// under its gamedata folder, in list order, stopping at the first failure like the program
// unless asked to go on. What the list holds that the program will skip or read otherwise than
// meant is reported first.
class VerifyCommand {
 public:
  VerifyCommand(VerifyOptions chosen, std::function<bool()> stopPolled, ProgressTerminal terminal);

  // 0 when every file verified, 1 when one failed (or, under --strict, the list has findings),
  // 2 when the list, the disc or the options cannot be used, 130 when stopped.
  CommandOutcome Run(std::ostream& out, std::ostream& err) const;

 private:
  // Where the list and the disc are (report.list, report.root), and the list's bytes; false, with
  // why.
  bool ReadList(VerifyReport& report, std::string& bytes, std::string& why) const;
  bool FindFolderPaths(std::string& listPath, std::string& rootPath, std::string& why) const;
  // The disc's files; a folder that cannot be listed is a finding, an image an error.
  bool ListDisc(VerifyReport& report, DiscListing& listing, std::string& problem) const;
  std::vector<Finding> VerificationFindings(const Linter& linter, const VerifyReport& report,
                                            const DiscListing* listing,
                                            const std::string& listingProblem) const;
  bool CanVerify(const Linter& linter, const std::string& shownList, std::string& why) const;
  std::unique_ptr<DiscReader> OpenDisc(const VerifyReport& report, DiscListing listing) const;
  int VerifyFiles(DiscReader& reader, const std::vector<std::string>& twins,
                  VerifyReport& report, std::ostream& out, std::ostream& err) const;
  int Summarize(const VerifyReport& report, std::size_t failures, bool stopped, std::ostream& out,
                std::ostream& err) const;

  VerifyOptions options;
  std::function<bool()> stopRequested;
  ProgressTerminal progressTerminal;
};
