#pragma once

#include <cstdint>
#include <string>

#include "platform/Platform.h"

// A file opened for reading by its CP932 path, read block by block, that remembers where and why
// a read failed.
class SourceFile {
 public:
  explicit SourceFile(const std::string& path);
  ~SourceFile();
  SourceFile(const SourceFile&) = delete;
  SourceFile& operator=(const SourceFile&) = delete;

  // False when the file cannot be opened or its size found; Reason() tells why.
  bool IsOpen() const { return file != platform::kNoFile; }
  // The size when opened, low 32 bits.
  std::uint32_t Size() const { return size; }
  // Up to count bytes from where the last read ended; received is 0 at the end of the file.
  // False when the read failed, after which Position() is where and Reason() why.
  bool Read(std::uint8_t* buffer, std::uint32_t count, std::uint32_t& received);
  // The same within the first limit bytes, which the file must have: false, with the reason, when
  // it ends before.
  bool ReadWithin(std::uint64_t limit, std::uint8_t* buffer, std::uint32_t count,
                  std::uint32_t& received);
  // The bytes read so far.
  std::uint64_t Position() const { return position; }
  const std::string& Reason() const { return reason; }

 private:
  platform::FileHandle file;
  std::uint32_t size = 0;
  std::uint64_t position = 0;
  std::string reason;
};
