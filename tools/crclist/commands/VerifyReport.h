#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "disc/DiscImage.h"
#include "disc/FileOutcome.h"
#include "lists/Finding.h"
#include "lists/LineIndex.h"
#include "lists/ListedFile.h"

// What a verification found, as a JSON report that a script can keep.
struct VerifyReport {
  std::string list;  // UTF-8 paths, as given or derived
  std::string root;
  ImageKind image;  // of an image, what holds its sectors and which tree was read
  std::vector<Finding> findings;
  const LineIndex* lines;
  std::vector<ListedFile> files;
  std::vector<FileOutcome> outcomes;  // one per file, in list order
  double seconds = 0;

  // The paths, the list's findings, each listed file with what was found, then totals.
  void Write(std::ostream& out) const;

  static const char* StatusName(FileStatus status);
};
