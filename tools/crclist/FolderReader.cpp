#include "FolderReader.h"

#include <chrono>

#include "Paths.h"
#include "StorageDevice.h"
#include "verify/Crc32.h"

namespace {

// Enough files ahead to keep a solid-state or network device busy with files of a few dozen
// kilobytes.
constexpr std::size_t kFilesAhead = 32;
// Small enough that the bytes just read are still in the processor's cache when checksummed.
constexpr std::uint32_t kReadSize = 256 << 10;

std::vector<std::string> JoinedPaths(const std::string& root, const std::vector<ListedFile>& files) {
  std::vector<std::string> joined;
  for (const ListedFile& file : files) joined.push_back(paths::Join(root, file.path));
  return joined;
}

std::size_t FilesAhead(const std::string& shownRoot, ReadingOrder order) {
  if (order == ReadingOrder::Auto) {
    order = StorageDevice::Seeks(shownRoot) ? ReadingOrder::Sequential : ReadingOrder::Parallel;
  }
  return order == ReadingOrder::Parallel ? kFilesAhead : 0;
}

}  // namespace

FolderReader::FolderReader(const std::string& root, const std::string& shownRoot,
                           const std::vector<ListedFile>& files, ReadingOrder order)
    : paths(JoinedPaths(root, files)),
      readAhead(paths, FilesAhead(shownRoot, order)),
      buffer(kReadSize) {}

FileOutcome FolderReader::Verify(const ListedFile& listed, const Progress& progress) {
  const auto started = std::chrono::steady_clock::now();
  const std::size_t index = next++;
  readAhead.Reached(index);
  FileOutcome outcome;
  SourceFile file(paths[index]);
  if (!file.IsOpen()) {
    outcome.status = FileStatus::Missing;
    outcome.reason = file.Reason();
  } else {
    outcome.foundSize = file.Size();
    if (file.Size() != static_cast<std::uint32_t>(listed.entry.size)) {
      outcome.status = FileStatus::SizeDiffers;
    } else {
      ReadAll(file, progress, outcome);
      if (outcome.foundCrc) {
        outcome.status =
            *outcome.foundCrc == listed.entry.crc ? FileStatus::Intact : FileStatus::CrcDiffers;
      }
    }
  }
  outcome.seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  return outcome;
}

// Sets foundCrc once every listed byte is read; otherwise leaves the file not reached (stopped)
// or unreadable.
void FolderReader::ReadAll(SourceFile& file, const Progress& progress, FileOutcome& outcome) {
  std::uint32_t crc = 0xFFFFFFFFu;
  std::uint32_t received = 0;
  bool read = file.ReadWithin(file.Size(), buffer.data(), kReadSize, received);
  for (; read && received != 0;
       read = file.ReadWithin(file.Size(), buffer.data(), kReadSize, received)) {
    crc = Crc32::Update(crc, buffer.data(), received);
    outcome.bytesRead += received;
    if (!progress(received)) return;
  }
  if (!read) {
    outcome.status = FileStatus::Unreadable;
    outcome.failedAt = file.Position();
    outcome.reason = file.Reason();
    return;
  }
  outcome.foundCrc = ~crc;
}
