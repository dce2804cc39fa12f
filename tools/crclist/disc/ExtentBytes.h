#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "disc/filesystems/FileTree.h"
#include "disc/sectors/SectorSource.h"
#include "verify/ByteSource.h"

// A file of a disc image, read from its extents' sectors in turn.
class ExtentBytes : public ByteSource {
 public:
  ExtentBytes(SectorSource& sectors, const TreeFile& file);

  // A sector that cannot be read ends the bytes at its start; the reason names its address.
  bool Read(ByteSpan& bytes, std::string& reason) override;

 private:
  // Sectors read at a step: few enough to stay in the processor's cache until checksummed;
  // aligned, since a read into a buffer off a cache line costs twice as much.
  static constexpr std::uint32_t kSectorsPerRead = 128;
  struct alignas(64) Buffer {
    std::uint8_t bytes[kSectorsPerRead * SectorSource::kSectorSize];
  };

  SectorSource& sectors;
  const TreeFile& file;
  std::size_t extent = 0;
  std::uint64_t offset = 0;  // within the current extent
  bool embeddedGiven = false;
  std::string failure;  // once a read has failed, after the bytes before it were given
  const std::unique_ptr<Buffer> buffer;
};
