#pragma once

#include <cstdint>
#include <string>
#include <vector>

// How a data track's sectors are stored: the 2048 bytes of user data alone, or as a drive reads
// them raw (2352 bytes with sync, header and EDC, possibly followed by subchannel bytes).
enum class SectorLayout { UserData, Raw };

// A data track as a disc descriptor (a cue sheet, a CloneCD or Alcohol descriptor) places it;
// audio tracks hold nothing that a file system reads.
struct Track {
  std::string file;           // the UTF-8 path of the file that holds it
  std::uint64_t offset = 0;   // of its first sector in that file
  std::uint32_t stride = 0;   // bytes from one sector to the next in that file
  std::uint32_t start = 0;    // the disc address of its first sector
  std::uint32_t sectors = 0;  // how many it has; 0: up to the file's end
  SectorLayout layout = SectorLayout::UserData;
  int session = 1;
};

// The data tracks of a disc, in disc order, and what described them.
struct DiscLayout {
  std::string format;  // "plain", "raw", "cue", "clonecd" or "alcohol"
  std::vector<Track> tracks;
};
