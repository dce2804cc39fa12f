#include "disc/sectors/TrackSectors.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "disc/sectors/CdSector.h"

bool TrackSectors::Open(DiscLayout described, std::string& error) {
  layout = std::move(described);
  for (Track& track : layout.tracks) {
    auto opened = files.find(track.file);
    if (opened == files.end()) {
      const int descriptor = ::open(track.file.c_str(), O_RDONLY | O_CLOEXEC);
      if (descriptor < 0) {
        error = track.file + ": cannot be opened: " + std::strerror(errno);
        return false;
      }
      opened = files.emplace(track.file, descriptor).first;
    }
    if (track.sectors == 0) {
      struct stat status {};
      if (fstat(opened->second, &status) != 0) {
        error = track.file + ": its size cannot be found: " + std::strerror(errno);
        return false;
      }
      const auto size = static_cast<std::uint64_t>(status.st_size);
      const std::uint64_t sectors = size > track.offset ? (size - track.offset) / track.stride : 0;
      track.sectors =
          static_cast<std::uint32_t>(std::min<std::uint64_t>(sectors, 0xFFFFFFFFu - track.start));
    }
  }
  // Windows mounts the last session, from its first data track.
  for (const Track& track : layout.tracks) {
    if (fileSystemTrack == nullptr || track.session > fileSystemTrack->session) {
      fileSystemTrack = &track;
    }
  }
  if (fileSystemTrack == nullptr) error = "the disc holds no data track, only audio";
  return fileSystemTrack != nullptr;
}

TrackSectors::~TrackSectors() {
  for (const auto& [path, descriptor] : files) ::close(descriptor);
}

std::uint32_t TrackSectors::FileSystemStart() const { return fileSystemTrack->start; }

std::uint32_t TrackSectors::End() const {
  return fileSystemTrack->start + fileSystemTrack->sectors;
}

const std::string& TrackSectors::Format() const { return layout.format; }

bool TrackSectors::Checked() const { return fileSystemTrack->layout == SectorLayout::Raw; }

const Track* TrackSectors::TrackOf(std::uint32_t lba) const {
  for (const Track& track : layout.tracks) {
    if (lba >= track.start && lba - track.start < track.sectors) return &track;
  }
  return nullptr;
}

bool TrackSectors::Read(std::uint32_t lba, std::uint32_t count, std::uint8_t* out,
                        SectorFailure& failure) {
  while (count != 0) {
    const Track* track = TrackOf(lba);
    if (track == nullptr) {
      failure.lba = lba;
      failure.pastEnd = lba >= End();
      failure.reason =
          failure.pastEnd ? "the image ends before it" : "no data track of the image holds it";
      return false;
    }
    const std::uint32_t taken = std::min(count, track->start + track->sectors - lba);
    if (!ReadFromTrack(*track, lba, taken, out, failure)) return false;
    lba += taken;
    count -= taken;
    out += static_cast<std::size_t>(taken) * kSectorSize;
  }
  return true;
}

bool TrackSectors::ReadFromTrack(const Track& track, std::uint32_t lba, std::uint32_t count,
                                 std::uint8_t* out, SectorFailure& failure) {
  if (track.layout == SectorLayout::UserData && track.stride == kSectorSize) {
    return ReadStored(track, lba, count, out, failure);
  }
  while (count != 0) {
    std::uint32_t taken = std::min(count, kSectorsPerRead);
    raw.resize(static_cast<std::size_t>(taken) * track.stride);
    SectorFailure readFailure;
    const bool stored = ReadStored(track, lba, taken, raw.data(), readFailure);
    if (!stored) taken = readFailure.lba - lba;
    for (std::uint32_t i = 0; i < taken; ++i) {
      const std::uint8_t* sector = raw.data() + static_cast<std::size_t>(i) * track.stride;
      const std::uint8_t* data = sector;
      if (track.layout == SectorLayout::Raw) {
        const char* wrong = cd_sector::Check(sector, lba + i, data);
        if (wrong != nullptr) {
          failure = {lba + i, wrong, false};
          return false;
        }
      }
      std::memcpy(out, data, kSectorSize);
      out += kSectorSize;
    }
    if (!stored) {
      failure = readFailure;
      return false;
    }
    lba += taken;
    count -= taken;
  }
  return true;
}

bool TrackSectors::ReadStored(const Track& track, std::uint32_t lba, std::uint32_t count,
                              std::uint8_t* bytes, SectorFailure& failure) {
  const int descriptor = files.at(track.file);
  const std::size_t size = static_cast<std::size_t>(count) * track.stride;
  const auto at =
      static_cast<off_t>(track.offset + std::uint64_t{lba - track.start} * track.stride);
  std::size_t done = 0;
  while (done < size) {
    const ssize_t got =
        ::pread(descriptor, bytes + done, size - done, at + static_cast<off_t>(done));
    if (got > 0) {
      done += static_cast<std::size_t>(got);
      continue;
    }
    if (got < 0 && errno == EINTR) continue;
    if (got < 0 && count > 1 && done % track.stride == 0) {
      // Find the sector that fails: the ones before it are read.
      const std::uint32_t good = static_cast<std::uint32_t>(done / track.stride);
      for (std::uint32_t i = good; i < count; ++i) {
        if (!ReadStored(track, lba + i, 1, bytes + std::size_t{i} * track.stride, failure)) {
          return false;
        }
      }
      return true;
    }
    failure.lba = lba + static_cast<std::uint32_t>(done / track.stride);
    failure.pastEnd = got == 0;
    failure.reason = got == 0 ? "the image ends before it" : std::strerror(errno);
    return false;
  }
  return true;
}
