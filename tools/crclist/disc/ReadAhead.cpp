#include "disc/ReadAhead.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "platform/Platform.h"
#include "system/OperatingSystem.h"

namespace {

constexpr std::size_t kWorkers = 2;
// A file's first bytes only: the verifier's own reads bring on the system's read-ahead for the
// rest of a large file, and a large file far ahead must not push the ones before it out of memory.
constexpr std::uint32_t kBytesAhead = 8 << 20;

void ReadFileAhead(const std::string& path) {
  const platform::FileHandle file = platform::OpenForReading(path.c_str());
  if (file == platform::kNoFile) return;
  std::uint32_t size = 0;
  if (platform::GetFileSize32(file, size)) os::Prefetch(file, std::min(size, kBytesAhead));
  platform::CloseFile(file);
}

}  // namespace

ReadAhead::ReadAhead(std::vector<std::string> filePaths, std::size_t filesAtOnce)
    : paths(std::move(filePaths)), window(filesAtOnce) {
  if (window == 0 || paths.size() < 2) return;
  for (std::size_t i = 0; i < kWorkers; ++i) workers.emplace_back([this] { Work(); });
}

ReadAhead::~ReadAhead() {
  {
    const std::lock_guard<std::mutex> guard(lock);
    closing = true;
  }
  wakes.notify_all();
  for (std::thread& worker : workers) worker.join();
}

void ReadAhead::Reached(std::size_t index) {
  {
    const std::lock_guard<std::mutex> guard(lock);
    reached = index;
    // Files the verifier has passed need no reading ahead any more.
    nextToAsk = std::max(nextToAsk, index + 1);
  }
  wakes.notify_all();
}

void ReadAhead::Work() {
  for (;;) {
    std::size_t index = 0;
    {
      std::unique_lock<std::mutex> guard(lock);
      wakes.wait(guard, [&] {
        return closing || nextToAsk == paths.size() || nextToAsk <= reached + window;
      });
      if (closing || nextToAsk == paths.size()) return;
      index = nextToAsk++;
    }
    ReadFileAhead(paths[index]);
  }
}
