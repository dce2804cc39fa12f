#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "checklist/FileEntry.h"

// The size and CRC-32 of a whole file, read through the verification's own reader and path
// translation, so that what is listed is what the verification will open.
class FileChecksum {
 public:
  // Tells of each block read: its bytes and the file's size; false stops the reading.
  using Progress = std::function<bool(std::uint32_t blockBytes, std::uint32_t fileSize)>;

  // Fills the entry's size and crc from the file at the CP932 path. False, with the problem, when
  // the file cannot be opened or read, is 4 GiB or larger, changes its size while read, or when
  // stopped.
  static bool Compute(const std::string& path, const Progress& progress, FileEntry& entry,
                      std::string& problem);
};
