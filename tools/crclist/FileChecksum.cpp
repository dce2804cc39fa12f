#include "FileChecksum.h"

#include <vector>

#include "SourceFile.h"
#include "verify/Crc32.h"

namespace {

constexpr std::uint32_t kReadSize = 0x100000;

}  // namespace

bool FileChecksum::Compute(const std::string& path, const Progress& progress, FileEntry& entry,
                           std::string& problem) {
  SourceFile file(path);
  if (!file.IsOpen()) {
    problem = "cannot be opened: " + file.Reason();
    return false;
  }
  std::vector<std::uint8_t> buffer(kReadSize);
  std::uint32_t crc = 0xFFFFFFFFu;
  std::uint32_t received = 0;
  bool read = file.Read(buffer.data(), kReadSize, received);
  for (; read && received != 0; read = file.Read(buffer.data(), kReadSize, received)) {
    crc = Crc32::Update(crc, buffer.data(), received);
    if (!progress(received, file.Size())) {
      problem = "stopped";
      return false;
    }
  }
  if (!read) {
    problem = "unreadable at byte " + std::to_string(file.Position()) + ": " + file.Reason();
    return false;
  }
  if (file.Position() > 0xFFFFFFFFu) {
    problem = "is 4 GiB or larger, beyond the 32-bit sizes of a check list";
    return false;
  }
  if (file.Position() != file.Size()) {
    problem = "changed its size while it was read";
    return false;
  }
  entry.size = static_cast<std::int32_t>(file.Size());
  entry.crc = ~crc;
  return true;
}
