#pragma once

#include <cstdint>
#include <string>

// Why a sector could not be read, as a drive would fail it.
struct SectorFailure {
  std::uint32_t lba = 0;
  std::string reason;  // UTF-8
  // The image ends before the sector, rather than the sector failing.
  bool pastEnd = false;

  // The sector as messages name it, by its address and its time on the disc: "sector 93
  // (00:03:18)".
  std::string Where() const;
  // Why what the sector holds of the image's structure (a folder, the volume descriptors)
  // cannot be read: a read error, or an image that ends before it.
  std::string InStructure(const std::string& what) const;
};
