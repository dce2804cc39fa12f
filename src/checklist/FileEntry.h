#pragma once

#include <cstdint>
#include <string>

struct FileEntry {
  std::string name;
  std::int32_t size = 0;  // read modulo 2^32, so it matches a 32-bit file size bit for bit
  std::uint32_t crc = 0;
};
