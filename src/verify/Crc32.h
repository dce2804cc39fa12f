#pragma once

#include <cstddef>
#include <cstdint>

// CRC-32 of ISO-HDLC (IEEE 802.3): reflected polynomial 0xEDB88320, register preset to
// 0xFFFFFFFF and complemented at the end. Update works on the raw register.
class Crc32 {
 public:
  static constexpr std::uint32_t kPolynomial = 0xEDB88320u;

  // The 256-entry table that defines the checksum: entry n is n after eight shift-and-XOR rounds.
  static void BuildTable(std::uint32_t (&table)[256]);

  static std::uint32_t Update(std::uint32_t crc, const std::uint8_t* data, std::size_t size);
  // The finished checksum of a whole block.
  static std::uint32_t Of(const void* data, std::size_t size);
};
