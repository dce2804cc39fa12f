#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "disc/DiscReader.h"
#include "disc/ReadAhead.h"

// How the files of a folder are read: several at once, one at a time in list order, or as suits
// the device that holds the folder.
enum class ReadingOrder { Auto, Parallel, Sequential };

// The listed files of a disc folder, through the platform's file functions, with the files after
// the one verified read ahead where the device gains from it.
class FolderReader : public DiscReader {
 public:
  // root is CP932, as the platform opens it; shownRoot the same in UTF-8. files are the ones that
  // Verify will be asked for, in that order. With a root, a name or a symbolic link that leads
  // out of it is not read; without one, each file's path is whole. A FIFO, a device or a socket
  // is never opened.
  FolderReader(const std::string& root, const std::string& shownRoot,
               const std::vector<ListedFile>& files, ReadingOrder order);

  FileOutcome Verify(const ListedFile& file, const Progress& progress) override;

 private:
  // Small enough that the bytes just read are still in the processor's cache when checksummed;
  // aligned, since a read into a buffer off a cache line costs twice as much.
  static constexpr std::uint32_t kReadSize = 256 << 10;
  struct alignas(64) ReadBuffer {
    std::uint8_t bytes[kReadSize];
  };

  const std::vector<std::string> refusals;  // why each file is not read, empty where it is
  const std::vector<std::string> paths;
  ReadAhead readAhead;
  const std::unique_ptr<ReadBuffer> buffer;
  std::size_t next = 0;
};
