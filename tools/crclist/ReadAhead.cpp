#include "ReadAhead.h"

#include <algorithm>
#include <utility>

#include "SourceFile.h"

namespace {

constexpr std::uint32_t kBlockSize = 0x100000;
constexpr std::size_t kBuffers = 32;
// Buffers that only the file being verified may take, so that files read ahead cannot hold every
// buffer while it waits for one.
constexpr std::size_t kReserved = 2;

}  // namespace

ReadAhead::ReadAhead(std::vector<std::string> filePaths, std::vector<std::uint32_t> listedSizes,
                     std::size_t filesAtOnce)
    : paths(std::move(filePaths)),
      sizes(std::move(listedSizes)),
      window(filesAtOnce),
      files(paths.size()) {
  for (std::size_t i = 0; i < std::min(window, paths.size()); ++i) {
    workers.emplace_back([this] { Work(); });
  }
}

ReadAhead::~ReadAhead() {
  {
    const std::lock_guard<std::mutex> guard(lock);
    closing = true;
  }
  workerWakes.notify_all();
  for (std::thread& worker : workers) worker.join();
}

ReadAhead::Opening ReadAhead::Open(std::size_t index) {
  std::unique_lock<std::mutex> guard(lock);
  verified = index;
  workerWakes.notify_all();
  verifierWakes.wait(guard, [&] { return files[index].known; });
  return files[index].opening;
}

ReadAhead::Block ReadAhead::Next(std::size_t index) {
  std::unique_lock<std::mutex> guard(lock);
  if (held.bytes) GiveBack(std::move(held));
  File& file = files[index];
  verifierWakes.wait(guard, [&] { return !file.blocks.empty() || file.ended; });
  if (file.blocks.empty()) return {};
  held = std::move(file.blocks.front());
  file.blocks.pop_front();
  return {held.bytes.get(), held.size};
}

ReadAhead::Ending ReadAhead::Ended(std::size_t index) {
  const std::lock_guard<std::mutex> guard(lock);
  return files[index].ending;
}

void ReadAhead::Leave(std::size_t index) {
  const std::lock_guard<std::mutex> guard(lock);
  if (held.bytes) GiveBack(std::move(held));
  File& file = files[index];
  file.left = true;
  for (Buffer& block : file.blocks) GiveBack(std::move(block));
  file.blocks.clear();
  // The next file may now be opened where one file is read at once.
  verified = index + 1;
  workerWakes.notify_all();
}

void ReadAhead::Work() {
  for (;;) {
    std::size_t index = 0;
    {
      std::unique_lock<std::mutex> guard(lock);
      workerWakes.wait(guard, [&] {
        return closing || nextToOpen == paths.size() || nextToOpen < verified + window;
      });
      if (closing || nextToOpen == paths.size()) return;
      index = nextToOpen++;
    }
    ReadFile(index);
  }
}

void ReadAhead::ReadFile(std::size_t index) {
  SourceFile source(paths[index]);
  const bool wanted = source.IsOpen() && source.Size() == sizes[index];
  {
    const std::lock_guard<std::mutex> guard(lock);
    File& file = files[index];
    file.known = true;
    file.opening = {source.IsOpen(), source.Size(), source.Reason()};
    file.ended = !wanted;
  }
  verifierWakes.notify_one();
  if (!wanted) return;

  for (;;) {
    Buffer buffer;
    if (!TakeBuffer(index, buffer)) return;
    const bool read = source.ReadWithin(sizes[index], buffer.bytes.get(), kBlockSize, buffer.size);
    {
      const std::lock_guard<std::mutex> guard(lock);
      File& file = files[index];
      const bool last = !read || buffer.size == 0 || file.left;
      if (file.left) {
        GiveBack(std::move(buffer));
      } else if (last) {
        GiveBack(std::move(buffer));
        file.ended = true;
        file.ending = {!read, source.Position(), source.Reason()};
      } else {
        file.blocks.push_back(std::move(buffer));
      }
      verifierWakes.notify_one();
      if (last) return;
    }
  }
}

bool ReadAhead::TakeBuffer(std::size_t index, Buffer& buffer) {
  std::unique_lock<std::mutex> guard(lock);
  workerWakes.wait(guard, [&] {
    const std::size_t available = freeBuffers.size() + kBuffers - buffersMade;
    return closing || files[index].left || available > (index == verified ? 0 : kReserved);
  });
  if (closing || files[index].left) return false;
  if (freeBuffers.empty()) {
    buffer.bytes.reset(new std::uint8_t[kBlockSize]);
    ++buffersMade;
  } else {
    buffer = std::move(freeBuffers.back());
    freeBuffers.pop_back();
  }
  return true;
}

void ReadAhead::GiveBack(Buffer buffer) {
  buffer.size = 0;
  freeBuffers.push_back(std::move(buffer));
  workerWakes.notify_all();
}
