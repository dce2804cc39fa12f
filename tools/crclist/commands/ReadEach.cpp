#include "commands/ReadEach.h"

bool ReadEach(DiscReader& reader, const std::vector<ListedFile>& files, std::size_t first,
              ProgressLine& progress, const std::function<bool()>& stopRequested,
              const std::function<bool(std::size_t index, const FileOutcome&)>& take) {
  for (std::size_t i = 0; i < files.size(); ++i) {
    const ListedFile& file = files[i];
    progress.StartFile(file.path, first + i);
    const FileOutcome outcome = reader.Verify(file, [&](std::uint64_t bytes) {
      progress.AddBytes(bytes);
      return !stopRequested();
    });
    progress.FinishFile(static_cast<std::uint32_t>(file.entry.size));
    if (stopRequested()) {
      progress.Clear();
      return false;
    }
    if (!take(i, outcome)) break;
  }
  progress.Clear();
  return true;
}
