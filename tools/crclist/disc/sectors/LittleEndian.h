#pragma once

#include <cstdint>

// The little-endian fields of disc structures: ISO 9660's and UDF's descriptors, a sector's EDC.
namespace little_endian {

inline std::uint16_t Get16(const std::uint8_t* at) {
  return static_cast<std::uint16_t>(at[0] | at[1] << 8);
}

inline std::uint32_t Get32(const std::uint8_t* at) {
  return at[0] | at[1] << 8 | at[2] << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

}  // namespace little_endian
