#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/Platform.h"
#include "verify/ByteSource.h"

// A file opened by its CP932 path and read into a buffer that its reader lends, telling each block
// read.
class FileBytes : public ByteSource {
 public:
  using BlockRead = std::function<void(std::uint32_t bytes)>;

  FileBytes(const std::string& path, std::uint8_t* buffer, std::uint32_t bufferSize,
            BlockRead blockRead);
  ~FileBytes() override;
  FileBytes(const FileBytes&) = delete;
  FileBytes& operator=(const FileBytes&) = delete;

  // False when the file cannot be opened or its size found; Reason() tells why.
  bool IsOpen() const { return file != platform::kNoFile; }
  // The size when opened, low 32 bits.
  std::uint32_t Size() const { return size; }
  const std::string& Reason() const { return reason; }

  // The bytes that arrived before a failed read are handed out first; the failure comes next.
  bool Read(ByteSpan& bytes, std::string& why) override;

 private:
  platform::FileHandle file;
  std::uint8_t* const buffer;
  const std::uint32_t bufferSize;
  const BlockRead blockRead;
  std::uint32_t size = 0;
  bool failed = false;
  std::string reason;
};
