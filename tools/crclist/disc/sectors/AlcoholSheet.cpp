#include "disc/sectors/AlcoholSheet.h"

#include <cstdint>
#include <cstring>

#include "disc/sectors/CdSector.h"
#include "disc/sectors/ImageFormat.h"
#include "disc/sectors/SectorSource.h"

namespace alcohol_sheet {

namespace {

constexpr std::size_t kHeaderSize = 0x58;
constexpr std::size_t kSessionSize = 0x18;
constexpr std::size_t kTrackSize = 0x50;
constexpr int kLeadInPoints = 0xA0;

// Little-endian fields of the descriptor, each read only where the descriptor holds it.
class Fields {
 public:
  explicit Fields(const std::string& descriptor) : bytes(descriptor) {}

  bool Holds(std::uint64_t at, std::uint64_t size) const {
    return at <= bytes.size() && size <= bytes.size() - at;
  }
  std::uint64_t Get(std::uint64_t at, std::size_t size) const {
    std::uint64_t value = 0;
    for (std::size_t i = size; i-- != 0;) {
      value = value << 8 | static_cast<unsigned char>(bytes[static_cast<std::size_t>(at) + i]);
    }
    return value;
  }
  // The NUL-ended string at that place, or empty.
  std::string String(std::uint64_t at) const {
    if (!Holds(at, 1)) return "";
    const std::size_t end = bytes.find('\0', static_cast<std::size_t>(at));
    return bytes.substr(static_cast<std::size_t>(at), end == std::string::npos ? end : end - at);
  }

 private:
  const std::string& bytes;
};

// Mode 1 and Mode 2 Form 1 tracks of a CD and every track of a DVD hold data; the low half of
// the mode byte tells which.
bool IsData(std::uint64_t mode) {
  const std::uint64_t kind = mode & 0x0F;
  return kind == 0x02 || kind == 0x0A || kind == 0x0B || kind == 0x0C;
}

}  // namespace

bool Read(const std::string& path, const std::string& bytes, DiscLayout& layout,
          std::string& error) {
  const Fields fields(bytes);
  const auto damaged = [&](const std::string& what) {
    error = path + ": the descriptor is damaged: " + what;
    return false;
  };
  if (!fields.Holds(0, kHeaderSize)) return damaged("it is shorter than its header");
  if (fields.Get(0x10, 1) != 1) {
    error = path + ": an MDS descriptor of version " + std::to_string(fields.Get(0x10, 1)) +
            ", which crclist does not read (it reads version 1)";
    return false;
  }
  layout.format = "alcohol";
  const std::uint64_t sessions = fields.Get(0x14, 2);
  const std::uint64_t firstSession = fields.Get(0x50, 4);
  for (std::uint64_t s = 0; s < sessions; ++s) {
    const std::uint64_t session = firstSession + s * kSessionSize;
    if (!fields.Holds(session, kSessionSize)) return damaged("a session lies past its end");
    const std::uint64_t blocks = fields.Get(session + 0x0A, 1);
    const std::uint64_t firstTrack = fields.Get(session + 0x14, 4);
    for (std::uint64_t t = 0; t < blocks; ++t) {
      const std::uint64_t track = firstTrack + t * kTrackSize;
      if (!fields.Holds(track, kTrackSize)) return damaged("a track lies past its end");
      if (fields.Get(track + 0x04, 1) >= kLeadInPoints || !IsData(fields.Get(track, 1))) continue;
      const std::uint64_t extra = fields.Get(track + 0x0C, 4);
      const std::uint64_t names = fields.Get(track + 0x34, 4);
      const std::uint64_t stride = fields.Get(track + 0x10, 2);
      if (!fields.Holds(extra, 8) || !fields.Holds(names, 16) ||
          (stride != SectorSource::kSectorSize && stride < cd_sector::kRawSize)) {
        return damaged("track " + std::to_string(fields.Get(track + 0x04, 1)) +
                       " has no length, file or sector size that it can be read with");
      }
      std::string file = fields.String(fields.Get(names, 4));
      file = file.rfind("*.", 0) == 0 ? image_format::WithExtension(path, file.substr(1))
                                      : image_format::Sibling(path, file);
      layout.tracks.push_back(
          {file, fields.Get(track + 0x28, 8), static_cast<std::uint32_t>(stride),
           static_cast<std::uint32_t>(fields.Get(track + 0x24, 4)),
           static_cast<std::uint32_t>(fields.Get(extra + 4, 4)),
           stride == SectorSource::kSectorSize ? SectorLayout::UserData : SectorLayout::Raw,
           static_cast<int>(fields.Get(session + 0x08, 2))});
    }
  }
  if (layout.tracks.empty()) error = path + ": the descriptor names no data track";
  return !layout.tracks.empty();
}

}  // namespace alcohol_sheet
