#pragma once

#include <cstdint>
#include <string>

#include "checklist/GlobalBuffer.h"
#include "platform/Platform.h"

// Bytes handed out from the buffer without copying; valid until the next read.
struct ByteSpan {
  const std::uint8_t* data;
  std::uint32_t size;
};

// Reads a file sequentially through a 1 MiB buffer.
class BufferedFileReader {
 public:
  static constexpr std::int32_t kBufferSize = 0x100000;

  BufferedFileReader();
  ~BufferedFileReader();
  BufferedFileReader(const BufferedFileReader&) = delete;
  BufferedFileReader& operator=(const BufferedFileReader&) = delete;

  bool Open(const char* path);
  // The same for a file the caller opened (kNoFile when that failed); the reader closes it.
  bool Adopt(platform::FileHandle openedFile);
  bool ReadByte(std::uint8_t& byte);
  // The next buffered bytes, at most maxBytes of them; an empty span at the end of the file.
  // Interleaves with ReadByte over one and the same byte stream.
  ByteSpan ReadSpan(std::uint32_t maxBytes);
  bool Close();
  // Whether the stream ended because a read failed, and the system's reason.
  bool ReadFailed() const;
  const std::string& FailureReason() const;

  std::uint32_t fileSize = 0;

 private:
  bool Refill();

  platform::FileHandle file = platform::kNoFile;
  GlobalBuffer buffer;
  std::uint32_t position = 0xFFFFFFFF;
  bool readFailed = false;
  std::string failureReason;
};
