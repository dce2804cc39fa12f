#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "disc/FileOutcome.h"
#include "lists/ListedFile.h"

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
