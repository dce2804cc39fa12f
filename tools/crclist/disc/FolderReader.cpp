#include "disc/FolderReader.h"

#include <chrono>

#include "disc/FileBytes.h"
#include "lists/Paths.h"
#include "system/OperatingSystem.h"

namespace {

// Enough files ahead to keep a solid-state or network device busy with files of a few dozen
// kilobytes.
constexpr std::size_t kFilesAhead = 32;
// A name that leads out of the root is given no path: nothing is read there.
std::vector<std::string> JoinedPaths(const std::string& root, const std::vector<ListedFile>& files) {
  std::vector<std::string> joined;
  for (const ListedFile& file : files) {
    const bool outside = !root.empty() && paths::LeavesDisc(file.entry.name);
    joined.push_back(outside ? "" : paths::Join(root, file.path));
  }
  return joined;
}

std::size_t FilesAhead(const std::string& shownRoot, ReadingOrder order) {
  if (order == ReadingOrder::Auto) {
    order = os::GainsFromReadsInFlight(shownRoot) ? ReadingOrder::Parallel : ReadingOrder::Sequential;
  }
  return order == ReadingOrder::Parallel ? kFilesAhead : 0;
}

}  // namespace

FolderReader::FolderReader(const std::string& root, const std::string& shownRoot,
                           const std::vector<ListedFile>& files, ReadingOrder order)
    : paths(JoinedPaths(root, files)),
      readAhead(paths, FilesAhead(shownRoot, order)),
      buffer(new ReadBuffer) {}

FileOutcome FolderReader::Verify(const ListedFile& listed, const Progress& progress) {
  const auto started = std::chrono::steady_clock::now();
  const std::size_t index = next++;
  readAhead.Reached(index);
  if (paths[index].empty()) {
    FileOutcome outside;
    outside.status = FileStatus::Missing;
    outside.reason = "the name leads outside the disc's folder, and crclist reads nothing there";
    return outside;
  }
  FileBytes file(paths[index], buffer->bytes, kReadSize,
                 [&progress](std::uint32_t bytes) { progress(bytes); });
  VerificationOutcome verified;
  if (file.IsOpen()) {
    verified = VerifyBytes(file, file.Size(), listed.entry.size, listed.entry.crc, Polling(progress));
  } else {
    verified.result = VerificationResult::OpenFailed;
    verified.reason = file.Reason();
  }
  FileOutcome outcome = FileOutcome::Of(verified, file.Size(), listed.entry.crc);
  outcome.seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  return outcome;
}
