// Feeds arbitrary bytes to the tokenizer and the loader as a check-list file.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "checklist/CheckList.h"
#include "checklist/InfTokenizer.h"
#include "platform/Platform.h"

namespace {

void IgnoreMessage(const std::string&) {}

// The loader reads a file; in memory-backed /dev/shm that costs a twentieth of a disk write.
const std::string& InputPath() {
  static const std::string path = [] {
    const char* folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    return std::string(folder) + "/disksentry-fuzz-" + std::to_string(getpid()) + ".INF";
  }();
  return path;
}

void WriteInput(const std::uint8_t* data, std::size_t size) {
  FILE* file = std::fopen(InputPath().c_str(), "wb");
  if (file == nullptr) std::abort();
  std::fwrite(data, 1, size, file);
  std::fclose(file);
}

// Every token takes at least one byte, so the end must come within size + 1 tokens.
void ScanToTheEnd(std::size_t size) {
  InfTokenizer tokenizer;
  if (!tokenizer.Open(InputPath().c_str())) return;
  for (std::size_t tokens = 0; tokenizer.Next().code != TokenCode::End; ++tokens) {
    if (tokens > size) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  platform::SetMessageHandler(IgnoreMessage);
  WriteInput(data, size);
  ScanToTheEnd(size);
  CheckList list;
  list.Load(InputPath().c_str());
  unlink(InputPath().c_str());
  return 0;
}
