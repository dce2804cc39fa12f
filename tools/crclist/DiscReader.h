#pragma once

#include <cstdint>
#include <functional>

#include "FileOutcome.h"
#include "ListedFile.h"

// Where the listed files' bytes come from.
class DiscReader {
 public:
  // Called with the bytes checksummed since its last call; false stops the file, which then
  // counts as not reached.
  using Progress = std::function<bool(std::uint64_t bytes)>;

  virtual ~DiscReader() = default;
  // The files are asked for one after the other, in list order.
  virtual FileOutcome Verify(const ListedFile& file, const Progress& progress) = 0;
};
