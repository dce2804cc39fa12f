#include "TemporaryFile.h"

#include <fstream>
#include <random>

TemporaryFile::TemporaryFile(const std::string& bytes)
    : path(std::filesystem::temp_directory_path() /
           ("crclist-" + std::to_string(std::random_device{}()) + ".tmp")) {
  std::ofstream(path, std::ios::binary)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

TemporaryFile::~TemporaryFile() {
  std::error_code ignored;
  std::filesystem::remove(path, ignored);
}

std::string TemporaryFile::Path() const { return path.u8string(); }
