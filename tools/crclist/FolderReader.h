#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "DiscReader.h"
#include "platform/Platform.h"

// The listed files of a disc folder, through the platform's file functions.
class FolderReader : public DiscReader {
 public:
  // root is CP932, as the platform opens it.
  explicit FolderReader(std::string root);

  FileOutcome Verify(const ListedFile& file, const Progress& progress) override;

 private:
  void ReadAll(std::uint64_t size, platform::FileHandle file, const Progress& progress,
               FileOutcome& outcome);

  std::string folder;
  std::vector<std::uint8_t> buffer;
};
