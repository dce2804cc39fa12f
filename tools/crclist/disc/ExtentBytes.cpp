#include "disc/ExtentBytes.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::uint32_t kSector = SectorSource::kSectorSize;

}  // namespace

ExtentBytes::ExtentBytes(SectorSource& source, const TreeFile& treeFile)
    : sectors(source), file(treeFile), buffer(std::make_unique<Buffer>()) {}

bool ExtentBytes::Read(ByteSpan& bytes, std::string& reason) {
  bytes = {buffer->bytes, 0};
  if (!failure.empty()) {
    reason = failure;
    return false;
  }
  if (!file.embedded.empty()) {
    if (!embeddedGiven) {
      bytes = {reinterpret_cast<const std::uint8_t*>(file.embedded.data()),
               static_cast<std::uint32_t>(file.embedded.size())};
    }
    embeddedGiven = true;
    return true;
  }
  while (extent < file.extents.size() && offset >= file.extents[extent].bytes) {
    ++extent;
    offset = 0;
  }
  if (extent == file.extents.size()) return true;
  const Extent& run = file.extents[extent];
  const std::uint64_t left = run.bytes - offset;
  const auto count = static_cast<std::uint32_t>(
      std::min<std::uint64_t>(kSectorsPerRead, (left + kSector - 1) / kSector));
  const std::uint64_t wanted = std::min<std::uint64_t>(left, std::uint64_t{count} * kSector);
  std::uint64_t got = wanted;
  if (run.lba == Extent::kUnrecorded) {
    std::memset(buffer->bytes, 0, static_cast<std::size_t>(wanted));
  } else {
    SectorFailure failed;
    const std::uint64_t first = run.lba + offset / kSector;
    if (first + count > 0xFFFFFFFFu) {
      failed = {0xFFFFFFFFu, "", true};
      got = 0;
    } else if (!sectors.Read(static_cast<std::uint32_t>(first), count, buffer->bytes, failed)) {
      got = std::uint64_t{failed.lba - static_cast<std::uint32_t>(first)} * kSector;
    }
    if (got < wanted) {
      failure = failed.pastEnd ? "the image ends before the file's end"
                               : failed.Where() + " is unreadable: " + failed.reason;
    }
  }
  offset += got;
  bytes = {buffer->bytes, static_cast<std::uint32_t>(got)};
  if (got != 0 || failure.empty()) return true;
  reason = failure;
  return false;
}
