#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// Has the system read the files that come after the one being verified, several at once, on
// threads of its own, so that the device has reads in flight while the verifier reads and
// checksums what is already in memory. Nothing read ahead is handed over: the verifier reads
// every file itself, in list order, and sees every failure itself.
class ReadAhead {
 public:
  // paths are CP932, in list order. With no files at once, nothing is read ahead.
  ReadAhead(std::vector<std::string> paths, std::size_t filesAtOnce);
  ~ReadAhead();
  ReadAhead(const ReadAhead&) = delete;
  ReadAhead& operator=(const ReadAhead&) = delete;

  // The verifier has come to the file: the ones after it, up to filesAtOnce of them, are asked
  // for.
  void Reached(std::size_t index);

 private:
  void Work();

  const std::vector<std::string> paths;
  const std::size_t window;
  std::mutex lock;
  std::condition_variable wakes;
  std::size_t reached = 0;
  std::size_t nextToAsk = 1;
  bool closing = false;
  std::vector<std::thread> workers;
};
