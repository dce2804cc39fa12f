#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// Reads the files of a list ahead of their verification on threads of its own, so that the device
// has reads in flight while the bytes already read are checksummed. The files are opened in list
// order, at most filesAtOnce of them from the one being verified on, and each one's blocks come
// out in order; what is read ahead is bounded by a pool of buffers.
class ReadAhead {
 public:
  // What came of a file: it could not be opened, it has another size than listed (and is not
  // read), or its blocks follow until the end, then possibly a failed read.
  struct Opening {
    bool opened = false;
    std::uint32_t size = 0;
    std::string reason;  // why it could not be opened
  };
  struct Block {
    const std::uint8_t* data = nullptr;
    std::uint32_t size = 0;  // 0: the file's blocks have ended
  };
  struct Ending {
    bool failed = false;
    std::uint64_t at = 0;
    std::string reason;
  };

  // paths are CP932, sizes as listed; both in list order. With one file at once, a file is opened
  // only once the one before it is left.
  ReadAhead(std::vector<std::string> paths, std::vector<std::uint32_t> sizes,
            std::size_t filesAtOnce);
  ~ReadAhead();
  ReadAhead(const ReadAhead&) = delete;
  ReadAhead& operator=(const ReadAhead&) = delete;

  // The files are taken in list order, each at most once: Open, then Next until an empty block,
  // then Ended; Leave whenever the file is no longer wanted.
  Opening Open(std::size_t file);
  // The file's next block, valid until the next call for this reader.
  Block Next(std::size_t file);
  Ending Ended(std::size_t file);
  void Leave(std::size_t file);

 private:
  struct Buffer {
    std::unique_ptr<std::uint8_t[]> bytes;
    std::uint32_t size = 0;
  };
  struct File {
    bool known = false;  // opened or failed to
    Opening opening;
    std::deque<Buffer> blocks;
    bool ended = false;
    bool left = false;
    Ending ending;
  };

  void Work();
  void ReadFile(std::size_t index);
  // A free buffer for the file, or none once the file is left or the reader closes.
  bool TakeBuffer(std::size_t index, Buffer& buffer);
  // Under the lock.
  void GiveBack(Buffer buffer);

  const std::vector<std::string> paths;
  const std::vector<std::uint32_t> sizes;
  const std::size_t window;
  std::mutex lock;
  std::condition_variable workerWakes;
  std::condition_variable verifierWakes;
  std::vector<File> files;
  std::vector<Buffer> freeBuffers;
  std::size_t buffersMade = 0;
  Buffer held;                // the block the verifier holds
  std::size_t nextToOpen = 0;
  std::size_t verified = 0;   // the file being verified
  bool closing = false;
  std::vector<std::thread> workers;
};
