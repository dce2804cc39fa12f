#include "FolderReader.h"

#include <chrono>

#include "Paths.h"
#include "StorageDevice.h"
#include "verify/Crc32.h"

namespace {

// Enough files at once to keep a solid-state or network device busy with files of a few dozen
// kilobytes.
constexpr std::size_t kFilesAtOnce = 8;

std::vector<std::string> JoinedPaths(const std::string& root, const std::vector<ListedFile>& files) {
  std::vector<std::string> joined;
  for (const ListedFile& file : files) joined.push_back(paths::Join(root, file.path));
  return joined;
}

std::vector<std::uint32_t> Sizes(const std::vector<ListedFile>& files) {
  std::vector<std::uint32_t> sizes;
  for (const ListedFile& file : files) sizes.push_back(static_cast<std::uint32_t>(file.entry.size));
  return sizes;
}

std::size_t FilesAtOnce(const std::string& shownRoot, ReadingOrder order) {
  if (order == ReadingOrder::Auto) {
    order = StorageDevice::Seeks(shownRoot) ? ReadingOrder::Sequential : ReadingOrder::Parallel;
  }
  return order == ReadingOrder::Parallel ? kFilesAtOnce : 1;
}

}  // namespace

FolderReader::FolderReader(const std::string& root, const std::string& shownRoot,
                           const std::vector<ListedFile>& files, ReadingOrder order)
    : reader(JoinedPaths(root, files), Sizes(files), FilesAtOnce(shownRoot, order)) {}

FileOutcome FolderReader::Verify(const ListedFile& listed, const Progress& progress) {
  const auto started = std::chrono::steady_clock::now();
  const std::size_t index = next++;
  FileOutcome outcome;
  const ReadAhead::Opening opening = reader.Open(index);
  if (!opening.opened) {
    outcome.status = FileStatus::Missing;
    outcome.reason = opening.reason;
  } else {
    outcome.foundSize = opening.size;
    if (opening.size != static_cast<std::uint32_t>(listed.entry.size)) {
      outcome.status = FileStatus::SizeDiffers;
    } else {
      ReadAll(index, progress, outcome);
      if (outcome.foundCrc) {
        outcome.status =
            *outcome.foundCrc == listed.entry.crc ? FileStatus::Intact : FileStatus::CrcDiffers;
      }
    }
  }
  reader.Leave(index);
  outcome.seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  return outcome;
}

// Sets foundCrc once every byte is read; otherwise leaves the file not reached (stopped) or
// unreadable.
void FolderReader::ReadAll(std::size_t index, const Progress& progress, FileOutcome& outcome) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (ReadAhead::Block block = reader.Next(index); block.size != 0; block = reader.Next(index)) {
    crc = Crc32::Update(crc, block.data, block.size);
    outcome.bytesRead += block.size;
    if (!progress(block.size)) return;
  }
  const ReadAhead::Ending ending = reader.Ended(index);
  if (ending.failed) {
    outcome.status = FileStatus::Unreadable;
    outcome.failedAt = ending.at;
    outcome.reason = ending.reason;
    return;
  }
  outcome.foundCrc = ~crc;
}
