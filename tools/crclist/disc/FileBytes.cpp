#include "disc/FileBytes.h"

#include <utility>

FileBytes::FileBytes(const std::string& path, std::uint8_t* readBuffer, std::uint32_t readSize,
                     BlockRead told)
    : file(platform::OpenForReading(path.c_str())),
      buffer(readBuffer),
      bufferSize(readSize),
      blockRead(std::move(told)) {
  if (file == platform::kNoFile) {
    reason = platform::LastErrorText();
  } else if (!platform::GetFileSize32(file, size)) {
    reason = platform::LastErrorText();
    platform::CloseFile(file);
    file = platform::kNoFile;
  }
}

FileBytes::~FileBytes() {
  if (file != platform::kNoFile) platform::CloseFile(file);
}

bool FileBytes::Read(ByteSpan& bytes, std::string& why) {
  std::uint32_t received = 0;
  if (!failed && !platform::ReadFromFile(file, buffer, bufferSize, received)) {
    failed = true;
    reason = platform::LastErrorText();
  }
  bytes = {buffer, received};
  if (received != 0) blockRead(received);
  if (received != 0 || !failed) return true;
  why = reason;
  return false;
}
