#pragma once

#include <functional>
#include <ostream>
#include <string>

#include "DiscReader.h"
#include "ProgressLine.h"
#include "VerifyReport.h"
#include "checklist/CheckList.h"

struct VerifyOptions {
  std::string list;  // a check list, or a folder holding crclist.INF; the root's when empty
  std::string root;  // the disc folder; the list's folder when empty, else the current one
  std::string json;  // where the JSON report goes, "-" for standard output; none when empty
  bool keepGoing = false;
  bool strict = false;
  bool quiet = false;
  bool verbose = false;
};

// The disc check without windows: every CDFILES entry under the root and every GAMEDATA entry
// under its gamedata folder, in list order, stopping at the first failure like the program
// unless asked to go on. What the list holds that the program will skip or read otherwise than
// meant is reported first.
class VerifyCommand {
 public:
  VerifyCommand(VerifyOptions chosen, std::function<bool()> stopPolled, ProgressTerminal terminal);

  // 0 when every file verified, 1 when one failed (or, under --strict, the list has findings),
  // 2 when the list or the options cannot be used, 130 when stopped.
  int Run(std::ostream& out, std::ostream& err) const;

 private:
  // The list's and the root's paths as given or derived, in UTF-8; false after telling why.
  bool FindPaths(std::string& listPath, std::string& rootPath, std::ostream& err) const;
  bool LoadList(const std::string& listPath, CheckList& list, std::ostream& err) const;
  int VerifyFiles(VerifyReport& report, std::ostream& out, std::ostream& err) const;
  FileOutcome VerifyFile(DiscReader& reader, const ListedFile& file, ProgressLine& progress) const;
  int Summarize(const VerifyReport& report, std::size_t failures, bool stopped,
                std::ostream& out) const;

  VerifyOptions options;
  std::function<bool()> stopRequested;
  ProgressTerminal progressTerminal;
};
