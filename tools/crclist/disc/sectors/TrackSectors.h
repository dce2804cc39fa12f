#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "disc/sectors/SectorSource.h"
#include "disc/sectors/Track.h"

// The sectors of a disc laid out in tracks, read from the files that hold them; raw sectors are
// checked as a drive checks them.
class TrackSectors : public SectorSource {
 public:
  // False, with the reason, when a track's file cannot be opened or the layout has no data
  // track.
  bool Open(DiscLayout layout, std::string& error);
  ~TrackSectors() override;

  bool Read(std::uint32_t lba, std::uint32_t count, std::uint8_t* out,
            SectorFailure& failure) override;
  std::uint32_t FileSystemStart() const override;
  std::uint32_t End() const override;
  const std::string& Format() const override;
  // Whether the file system's sectors are raw, with the codes that tell a damaged one.
  bool Checked() const;

 private:
  // Sectors taken from a file at one go: enough that a read costs little more than the copy.
  static constexpr std::uint32_t kSectorsPerRead = 256;

  const Track* TrackOf(std::uint32_t lba) const;
  bool ReadFromTrack(const Track& track, std::uint32_t lba, std::uint32_t count, std::uint8_t* out,
                     SectorFailure& failure);
  // Reads the bytes of count sectors; on a failure, sector by sector to find the first that
  // fails.
  bool ReadStored(const Track& track, std::uint32_t lba, std::uint32_t count, std::uint8_t* bytes,
                  SectorFailure& failure);

  DiscLayout layout;
  std::map<std::string, int> files;  // descriptor by path
  const Track* fileSystemTrack = nullptr;
  std::vector<std::uint8_t> raw;
};
