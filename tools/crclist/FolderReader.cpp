#include "FolderReader.h"

#include <chrono>
#include <utility>

#include "Paths.h"
#include "verify/Crc32.h"

namespace {

constexpr std::uint32_t kReadSize = 0x100000;

}  // namespace

FolderReader::FolderReader(std::string root) : folder(std::move(root)), buffer(kReadSize) {}

FileOutcome FolderReader::Verify(const ListedFile& listed, const Progress& progress) {
  const auto started = std::chrono::steady_clock::now();
  FileOutcome outcome;
  const std::string path = paths::Join(folder, listed.path);
  const platform::FileHandle file = platform::OpenForReading(path.c_str());
  std::uint32_t size = 0;
  if (file == platform::kNoFile || !platform::GetFileSize32(file, size)) {
    outcome.status = FileStatus::Missing;
    outcome.reason = platform::LastErrorText();
  } else {
    outcome.foundSize = size;
    if (size != static_cast<std::uint32_t>(listed.entry.size)) {
      outcome.status = FileStatus::SizeDiffers;
    } else {
      ReadAll(size, file, progress, outcome);
      if (outcome.foundCrc) {
        outcome.status =
            *outcome.foundCrc == listed.entry.crc ? FileStatus::Intact : FileStatus::CrcDiffers;
      }
    }
  }
  if (file != platform::kNoFile) platform::CloseFile(file);
  outcome.seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  return outcome;
}

// Sets foundCrc once every byte is read; otherwise leaves the file not reached (stopped) or
// unreadable.
void FolderReader::ReadAll(std::uint64_t size, platform::FileHandle file,
                           const Progress& progress, FileOutcome& outcome) {
  std::uint32_t crc = 0xFFFFFFFFu;
  while (outcome.bytesRead < size) {
    std::uint32_t received = 0;
    const bool read = platform::ReadFromFile(file, buffer.data(), kReadSize, received);
    if (!read || received == 0) {
      outcome.status = FileStatus::Unreadable;
      outcome.failedAt = outcome.bytesRead + received;
      outcome.reason = read ? "the file ends before its listed size" : platform::LastErrorText();
      return;
    }
    crc = Crc32::Update(crc, buffer.data(), received);
    outcome.bytesRead += received;
    if (!progress(received)) return;
  }
  outcome.foundCrc = ~crc;
}
