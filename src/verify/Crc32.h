#pragma once

#include <cstddef>
#include <cstdint>

// CRC-32 of ISO-HDLC (IEEE 802.3): reflected polynomial 0xEDB88320, register preset to
// 0xFFFFFFFF and complemented at the end. Update works on the raw register.
class Crc32 {
 public:
  static constexpr std::uint32_t kPolynomial = 0xEDB88320u;

  // The ways to compute it, slowest first; Update starts on the fastest this processor runs.
  enum class Path { Table, Slice16, Pclmul, Vpclmul512 };

  // The 256-entry table that defines the checksum: entry n is n after eight shift-and-XOR rounds.
  static void BuildTable(std::uint32_t (&table)[256]);

  static std::uint32_t Update(std::uint32_t crc, const std::uint8_t* data, std::size_t size);
  // The finished checksum of a whole block.
  static std::uint32_t Of(const void* data, std::size_t size);

  // For tests and benchmarks: sends Update through path. False, changing nothing, when this
  // processor cannot run it.
  static bool Select(Path path);
  static Path Selected();

  // x^exponent modulo the polynomial, in the register's bit order: the fold constants.
  static constexpr std::uint32_t XPowerModP(unsigned exponent) {
    return XPowerMod(kPolynomial, exponent);
  }
  // The same for another reflected 32-bit polynomial, whose CRC the folds compute as well.
  static constexpr std::uint32_t XPowerMod(std::uint32_t polynomial, unsigned exponent) {
    std::uint32_t value = 0x80000000u;  // x^0
    while (exponent-- > 0) value = (value & 1u) ? (value >> 1) ^ polynomial : value >> 1;
    return value;
  }

 private:
  // One multiplication by x modulo the polynomial: the round of the table's definition.
  static constexpr std::uint32_t TimesX(std::uint32_t value) {
    return (value & 1u) ? (value >> 1) ^ kPolynomial : value >> 1;
  }
};
