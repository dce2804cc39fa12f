#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "FileOutcome.h"
#include "ListedFile.h"
#include "ProgressLine.h"

// Where the listed files' bytes come from.
class DiscReader {
 public:
  // Called with the bytes of each block read, and with none between blocks to ask whether to go
  // on; false stops the file, which then counts as not reached.
  using Progress = std::function<bool(std::uint64_t bytes)>;

  virtual ~DiscReader() = default;
  // The files are asked for one after the other, in list order.
  virtual FileOutcome Verify(const ListedFile& file, const Progress& progress) = 0;

 protected:
  // The verification's stop poll, through the progress.
  static VerificationProgress Polling(const Progress& progress) {
    VerificationProgress polling;
    polling.boundaryReached = [&progress] { return progress(0); };
    polling.setPercent = [](int) {};
    return polling;
  }
};

// Verifies the files one after another, with the progress line, and hands each outcome to take,
// which says whether to go on; the ordinals shown start at first. False when stopped: a stop
// counts whatever the file's result, as in the program.
bool ReadEach(DiscReader& reader, const std::vector<ListedFile>& files, std::size_t first,
              ProgressLine& progress, const std::function<bool()>& stopRequested,
              const std::function<bool(std::size_t index, const FileOutcome&)>& take);
