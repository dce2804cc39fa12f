#pragma once

#include <cstdint>
#include <string>

#include "disc/sectors/SectorFailure.h"

// The 2048 bytes of user data of each of a disc's sectors, by the sector's address on the disc,
// from whatever holds them.
class SectorSource {
 public:
  static constexpr std::uint32_t kSectorSize = 2048;

  virtual ~SectorSource() = default;
  // count sectors from lba into out; false at the first sector that cannot be read, whose
  // failure then tells it, with every sector before it in out.
  virtual bool Read(std::uint32_t lba, std::uint32_t count, std::uint8_t* out,
                    SectorFailure& failure) = 0;
  // The address of the first sector of the file system that Windows mounts: the start of the
  // last session's first data track.
  virtual std::uint32_t FileSystemStart() const = 0;
  // The address just past the data track that holds the file system.
  virtual std::uint32_t End() const = 0;
  // What holds the sectors, for the report: "ISO image", "cue sheet, Mode 1 raw sectors", ...
  virtual const std::string& Format() const = 0;
};
