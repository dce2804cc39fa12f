#pragma once

#include <cstddef>
#include <cstdint>

// The CRC-32 folds of x86 processors with carry-less multiplication (the mathematics is at the top
// of Crc32.cpp). Each fold takes the register and the longest run of whole 16-byte blocks at the
// start of data, and leaves in block 16 bytes whose CRC-32 from a zero register is the register
// after that run. It returns the length of the run, or 0 when data is too short to be worth it.
class Crc32X86 {
 public:
  using FoldFunction = std::size_t (*)(std::uint32_t crc, const std::uint8_t* data,
                                       std::size_t size, std::uint8_t* block);

  static bool HasPclmul();
  // AVX-512 with VPCLMULQDQ, its registers saved by the operating system.
  static bool HasVpclmul512();

  static std::size_t FoldPclmul(std::uint32_t crc, const std::uint8_t* data, std::size_t size,
                                std::uint8_t* block);
  static std::size_t FoldVpclmul512(std::uint32_t crc, const std::uint8_t* data, std::size_t size,
                                    std::uint8_t* block);
};
