#pragma once

#include <cstddef>
#include <cstdint>

#include "verify/Crc32.h"

// The CRC-32 folds of x86 processors with carry-less multiplication (the mathematics is at the top
// of Crc32.cpp). Each fold takes the register and the longest run of whole 16-byte blocks at the
// start of data, and leaves in block 16 bytes whose CRC-32 from a zero register is the register
// after that run. It returns the length of the run, or 0 when data is too short to be worth it.
class Crc32X86 {
 public:
  // The pair that moves a block d bits forward: x^(d+63) for its first eight bytes, x^(d-1) for
  // its last, modulo the polynomial.
  struct FoldDistance {
    std::uint64_t first;
    std::uint64_t last;
  };
  // Every distance the folds move blocks by, for one reflected polynomial: the CRC-32's, or
  // another 32-bit CRC's (a CD sector's EDC).
  struct Constants {
    FoldDistance by128, by256, by384, by512, by2048;
  };
  static constexpr Constants ConstantsOf(std::uint32_t polynomial) {
    return {Distance(polynomial, 128), Distance(polynomial, 256), Distance(polynomial, 384),
            Distance(polynomial, 512), Distance(polynomial, 2048)};
  }

  using FoldFunction = std::size_t (*)(const Constants& constants, std::uint32_t crc,
                                       const std::uint8_t* data, std::size_t size,
                                       std::uint8_t* block);

  static bool HasPclmul();
  // AVX-512 with VPCLMULQDQ, its registers saved by the operating system.
  static bool HasVpclmul512();

  static std::size_t FoldPclmul(const Constants& constants, std::uint32_t crc,
                                const std::uint8_t* data, std::size_t size, std::uint8_t* block);
  static std::size_t FoldVpclmul512(const Constants& constants, std::uint32_t crc,
                                    const std::uint8_t* data, std::size_t size,
                                    std::uint8_t* block);

 private:
  static constexpr FoldDistance Distance(std::uint32_t polynomial, unsigned bits) {
    return {std::uint64_t{Crc32::XPowerMod(polynomial, bits + 63)} << 32,
            std::uint64_t{Crc32::XPowerMod(polynomial, bits - 1)} << 32};
  }
};
