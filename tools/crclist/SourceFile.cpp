#include "SourceFile.h"

#include <algorithm>

SourceFile::SourceFile(const std::string& path) : file(platform::OpenForReading(path.c_str())) {
  if (file == platform::kNoFile) {
    reason = platform::LastErrorText();
  } else if (!platform::GetFileSize32(file, size)) {
    reason = platform::LastErrorText();
    platform::CloseFile(file);
    file = platform::kNoFile;
  }
}

SourceFile::~SourceFile() {
  if (file != platform::kNoFile) platform::CloseFile(file);
}

bool SourceFile::Read(std::uint8_t* buffer, std::uint32_t count, std::uint32_t& received) {
  const bool read = platform::ReadFromFile(file, buffer, count, received);
  // Bytes that arrived before a failure count: the failure is at the first byte not read.
  position += received;
  if (!read) reason = platform::LastErrorText();
  return read;
}

bool SourceFile::ReadWithin(std::uint64_t limit, std::uint8_t* buffer, std::uint32_t count,
                            std::uint32_t& received) {
  received = 0;
  if (position >= limit) return true;
  count = static_cast<std::uint32_t>(std::min<std::uint64_t>(count, limit - position));
  if (!Read(buffer, count, received)) return false;
  if (received != 0) return true;
  reason = "the file ends before its listed size";
  return false;
}
