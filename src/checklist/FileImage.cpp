#include "checklist/FileImage.h"

#include <cstring>

namespace {

bool ReadWhole(platform::FileHandle file, GlobalBuffer& buffer) {
  std::uint32_t size = 0;
  if (!platform::GetFileSize32(file, size)) return false;
  buffer.Release();
  // An empty file is refused here, since a block of 0 bytes is.
  if (!buffer.Allocate(static_cast<std::int32_t>(size))) return false;
  const auto wanted = static_cast<std::uint32_t>(buffer.Size());
  std::uint32_t received = 0;
  return platform::ReadFromFile(file, buffer.Data(), wanted, received) && received == wanted;
}

}  // namespace

bool FileImage::LoadFile(const char* path) {
  const platform::FileHandle file = platform::OpenForReading(path);
  if (file == platform::kNoFile) return false;
  const bool read = ReadWhole(file, *this);
  return platform::CloseFile(file) && read;
}

bool FileImage::LoadBytes(const std::string& bytes) {
  Release();
  if (!Allocate(static_cast<std::int32_t>(bytes.size()))) return false;
  std::memcpy(Data(), bytes.data(), bytes.size());
  return true;
}
