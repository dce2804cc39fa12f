#pragma once

#include <cstdint>
#include <string>

#include "disc/filesystems/FileTree.h"
#include "disc/sectors/SectorSource.h"

// The UDF file system of a disc, read through libudfread over the disc's sectors.
class UdfTree {
 public:
  // Whether the disc's volume recognition sequence announces UDF. False, with the reason, when it
  // cannot be read.
  static bool Announced(SectorSource& sectors, bool& announced, std::string& error);

  // The UDF revision of the logical volume, 0x0102 to 0x0260 where Windows reads it. False, with
  // the reason, for a volume that libudfread cannot read (virtual or sparable partitions,
  // another block size) or whose descriptors cannot be read.
  static bool Revision(SectorSource& sectors, std::uint16_t& revision, std::string& error);

  // The files of the volume. False, with the reason, when the volume or a folder cannot be read.
  static bool Read(SectorSource& sectors, std::uint16_t revision, FileTree& tree,
                   std::string& error);
};
