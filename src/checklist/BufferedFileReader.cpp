#include "checklist/BufferedFileReader.h"

#include <algorithm>

BufferedFileReader::BufferedFileReader() { buffer.Allocate(kBufferSize); }

BufferedFileReader::~BufferedFileReader() { Close(); }

bool BufferedFileReader::Open(const char* path) { return Adopt(platform::OpenForReading(path)); }

bool BufferedFileReader::Adopt(platform::FileHandle openedFile) {
  file = openedFile;
  if (file == platform::kNoFile) return false;
  if (!platform::GetFileSize32(file, fileSize)) {
    Close();
    return false;
  }
  return true;
}

bool BufferedFileReader::ReadByte(std::uint8_t& byte) {
  if (position >= static_cast<std::uint32_t>(buffer.Size()) && !Refill()) return false;
  byte = buffer.Data()[position++];
  return true;
}

ByteSpan BufferedFileReader::ReadSpan(std::uint32_t maxBytes) {
  if (position >= static_cast<std::uint32_t>(buffer.Size()) && !Refill()) return {nullptr, 0};
  const std::uint32_t available = static_cast<std::uint32_t>(buffer.Size()) - position;
  const ByteSpan span{buffer.Data() + position, std::min(available, maxBytes)};
  position += span.size;
  return span;
}

bool BufferedFileReader::Close() {
  if (file != platform::kNoFile) {
    platform::CloseFile(file);
    file = platform::kNoFile;
  }
  return true;
}

bool BufferedFileReader::ReadFailed() const { return readFailed; }

const std::string& BufferedFileReader::FailureReason() const { return failureReason; }

// A short read shrinks the buffer to what arrived; later refills ask for that smaller size.
bool BufferedFileReader::Refill() {
  if (file == platform::kNoFile) return false;
  const auto wanted = static_cast<std::uint32_t>(buffer.Size());
  std::uint32_t received = 0;
  if (!platform::ReadFromFile(file, buffer.Data(), wanted, received)) {
    readFailed = true;
    failureReason = platform::LastErrorText();
    return false;
  }
  if (received == 0) return false;
  if (received < wanted && !buffer.Resize(static_cast<std::int32_t>(received))) return false;
  position = 0;
  return true;
}
