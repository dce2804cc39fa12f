#include <fcntl.h>
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "checklist/InfBytes.h"
#include "platform/Platform.h"

namespace platform {
namespace {

struct MemoryBlock {
  void* bytes;
  std::size_t capacity;
  int locks;
};

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

// Opening a converter costs more than converting a name with it (a listing of 2,000 files spent
// most of its time there), so each thread keeps one of each for its life, reset before each use.
iconv_t Ready(iconv_t converter) {
  if (converter != kNoConverter) iconv(converter, nullptr, nullptr, nullptr, nullptr);
  return converter;
}

iconv_t Decoder() {
  thread_local const iconv_t decoder = iconv_open("UTF-8", "CP932");
  return Ready(decoder);
}

iconv_t Encoder() {
  thread_local const iconv_t encoder = iconv_open("CP932", "UTF-8");
  return Ready(encoder);
}

// The file last opened on this thread. The status that OpenForReading takes to refuse what is no
// file gives the size that every caller asks for next: one look at the file instead of two (a
// tenth of the time of verifying a small file in the page cache). Where its reads stand tells a
// read that reaches that size from one that stops short of it.
struct OpenedFile {
  int fd = -1;
  off_t size = 0;
  off_t position = 0;
  bool read = false;
};
thread_local OpenedFile opened;

}  // namespace

FileHandle OpenForReading(const char* path) {
  const int fd = open(NativePath(path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return kNoFile;
  struct stat status {};
  // Only regular files, as on Windows: a folder or a pipe is no file to verify.
  if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
    close(fd);
    return kNoFile;
  }
  opened = OpenedFile{fd, status.st_size, 0, false};
  return fd;
}

bool GetFileSize32(FileHandle file, std::uint32_t& size) {
  if (file == opened.fd && !opened.read) {
    size = static_cast<std::uint32_t>(opened.size);
    return true;
  }
  struct stat status {};
  if (fstat(static_cast<int>(file), &status) != 0) return false;
  size = static_cast<std::uint32_t>(status.st_size);
  return true;
}

// Loops over short reads so that a short result means the end of the file, as on Windows. Reaching
// the size at opening ends the loop without one more read that could only find the end (a sixth
// of the system calls for small files); a file grown since is read on by the next call.
bool ReadFromFile(FileHandle file, void* buffer, std::uint32_t count, std::uint32_t& received) {
  const bool followed = file == opened.fd;
  if (followed) opened.read = true;
  received = 0;
  auto* bytes = static_cast<char*>(buffer);
  ssize_t got = 1;
  while (received < count) {
    got = read(static_cast<int>(file), bytes + received, count - received);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    received += static_cast<std::uint32_t>(got);
    if (followed && opened.position + received == opened.size) break;
  }
  if (followed) opened.position += received;
  return got >= 0;
}

bool CloseFile(FileHandle file) {
  if (file == opened.fd) opened.fd = -1;
  return close(static_cast<int>(file)) == 0;
}

std::string LastErrorText() { return std::strerror(errno); }

// Slashes for separators: the second byte of a double-byte character may be 0x5C and is none.
std::string NativePath(const std::string& path) {
  std::string slashed(path);
  inf::EachSingleByte(slashed, [](char& byte) {
    if (byte == '\\') byte = '/';
  });
  return Cp932ToUtf8(slashed);
}

namespace {

// ASCII is the same bytes in CP932 and UTF-8, and most names are ASCII: the converter, which
// costs more than the rest of a file's verification in the page cache, is left out for them.
bool IsAscii(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](char byte) { return (byte & 0x80) == 0; });
}

// Aligned to the processor's cache lines: glibc places a large block 16 bytes past a page
// boundary, and a read into it cost twice a read into an aligned one when measured.
void* AlignedStorage(std::size_t bytes) {
  void* storage = nullptr;
  return posix_memalign(&storage, 64, bytes) == 0 ? storage : nullptr;
}

}  // namespace

MemoryHandle AllocateMemory(std::size_t bytes) {
  void* storage = AlignedStorage(bytes);
  if (storage == nullptr) return nullptr;
  return new MemoryBlock{storage, bytes, 0};
}

// A shrink keeps the storage. glibc serves 1 MiB with a fresh mapping until a block that large has
// been freed; a reader's buffer, shrunk at the end of every file shorter than it, never was, so
// every file's buffer faulted its pages in anew (0.3 ms per 64 KiB file when measured).
MemoryHandle ReallocateMemory(MemoryHandle block, std::size_t bytes) {
  auto* memory = static_cast<MemoryBlock*>(block);
  if (memory->locks != 0) return nullptr;
  if (bytes <= memory->capacity) return memory;
  void* storage = AlignedStorage(bytes);
  if (storage == nullptr) return nullptr;
  std::memcpy(storage, memory->bytes, memory->capacity);
  std::free(memory->bytes);
  memory->bytes = storage;
  memory->capacity = bytes;
  return memory;
}

void* LockMemory(MemoryHandle block) {
  auto* memory = static_cast<MemoryBlock*>(block);
  ++memory->locks;
  return memory->bytes;
}

bool UnlockMemory(MemoryHandle block) {
  auto* memory = static_cast<MemoryBlock*>(block);
  if (memory->locks > 0) --memory->locks;
  return memory->locks > 0;
}

bool FreeMemory(MemoryHandle block) {
  auto* memory = static_cast<MemoryBlock*>(block);
  std::free(memory->bytes);
  delete memory;
  return true;
}

void ShowErrorOnPlatform(const std::string& text) {
  std::fprintf(stderr, "%s\n", Cp932ToUtf8(text).c_str());
}

std::string Cp932ToUtf8(const std::string& text) {
  static const char kReplacement[] = "\xEF\xBF\xBD";
  if (IsAscii(text)) return text;
  iconv_t converter = Decoder();
  if (converter == kNoConverter) return text;
  std::string utf8;
  char chunk[256];
  char* in = const_cast<char*>(text.data());
  std::size_t inLeft = text.size();
  while (inLeft > 0) {
    char* out = chunk;
    std::size_t outLeft = sizeof chunk;
    const std::size_t result = iconv(converter, &in, &inLeft, &out, &outLeft);
    utf8.append(chunk, static_cast<std::size_t>(out - chunk));
    if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
      utf8 += kReplacement;
      ++in;
      --inLeft;
    }
  }
  return utf8;
}

bool Utf8ToCp932(const std::string& text, std::string& cp932) {
  if (IsAscii(text)) {
    cp932 = text;
    return true;
  }
  iconv_t converter = Encoder();
  if (converter == kNoConverter) return false;
  std::string bytes;
  char chunk[256];
  char* in = const_cast<char*>(text.data());
  std::size_t inLeft = text.size();
  bool converted = true;
  while (converted && inLeft > 0) {
    char* out = chunk;
    std::size_t outLeft = sizeof chunk;
    const std::size_t result = iconv(converter, &in, &inLeft, &out, &outLeft);
    bytes.append(chunk, static_cast<std::size_t>(out - chunk));
    converted = result != static_cast<std::size_t>(-1) || errno == E2BIG;
  }
  if (!converted || Cp932ToUtf8(bytes) != text) return false;
  cp932 = bytes;
  return true;
}

}  // namespace platform
