// How every path computes the same CRC-32.
//
// Bits are the coefficients of polynomials over GF(2), reflected: bit 0 of a byte, and of the
// register, holds the highest power. Update over n bytes M, with the register XORed into their
// first four bytes, gives M(x)·x^32 mod P(x); P is x^32 plus the lower terms whose bits make up
// kPolynomial. Shifting a reflected value right by one multiplies it by x; the bit that falls off
// would be x^32, which P replaces by kPolynomial. That step (TimesX) builds everything below.
//
// Table: entry n is byte n times x^32 mod P, eight steps; a byte costs one look-up.
// Slice16: slice[k][n] is byte n followed by k zero bytes, one more reference look-up per zero
// byte. Sixteen bytes then cost sixteen look-ups that do not wait for one another.
// Folding (the x86 paths): a 16-byte block A lying d bits before a later block B of the message
// moves onto B as A·x^d ≡ H·(x^(d+64) mod P) + L·(x^d mod P), H and L being A's first and last
// eight bytes. Each product has fewer than 96 bits, so XORing both into B shortens the message by
// 16 bytes and keeps its remainder. A carry-less multiply of two reflected 64-bit values leaves
// their 127-bit product one bit short of the end of its 128 bits, where it reads as the product
// times x; so the constants are taken one power lower, x^(d+63) and x^(d-1) mod P: XPowerModP,
// placed in the upper half of 64 bits.
// Lanes of blocks fold side by side over the distance between their turns (d = 512 for four
// 16-byte lanes, 2048 for four 64-byte lanes), then fold into one another.
// The last block stands for all bytes folded into it: its CRC from a zero register is the
// register after them, so the table finishes it and whatever bytes are left.
#include "verify/Crc32.h"

#include <initializer_list>

// The folds use 128- and 512-bit registers and 32-bit scalars only, so 32-bit x86 runs them too.
#if defined(__x86_64__) || defined(_M_X64) || defined(__i386__) || defined(_M_IX86)
#define DISKSENTRY_X86
#include "verify/Crc32X86.h"
#endif

namespace {

struct SliceTables {
  SliceTables() {
    Crc32::BuildTable(slice[0]);
    for (int k = 1; k < 16; ++k) {
      for (int n = 0; n < 256; ++n) {
        slice[k][n] = (slice[k - 1][n] >> 8) ^ slice[0][slice[k - 1][n] & 0xFFu];
      }
    }
  }
  std::uint32_t slice[16][256];  // slice[0] is the reference table
};

const SliceTables& Tables() {
  static const SliceTables tables;
  return tables;
}

std::uint32_t LoadLittleEndian32(const std::uint8_t* bytes) {
  return std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8 | std::uint32_t{bytes[2]} << 16 |
         std::uint32_t{bytes[3]} << 24;
}

std::uint32_t UpdateByTable(std::uint32_t crc, const std::uint8_t* data, std::size_t size) {
  const std::uint32_t* table = Tables().slice[0];
  for (std::size_t i = 0; i < size; ++i) crc = (crc >> 8) ^ table[(crc ^ data[i]) & 0xFFu];
  return crc;
}

// The four bytes of a word whose first byte has `after` more bytes of its block behind it.
std::uint32_t LookUpWord(const std::uint32_t (&slice)[16][256], std::uint32_t word, int after) {
  return slice[after][word & 0xFFu] ^ slice[after - 1][(word >> 8) & 0xFFu] ^
         slice[after - 2][(word >> 16) & 0xFFu] ^ slice[after - 3][word >> 24];
}

std::uint32_t UpdateBySlice16(std::uint32_t crc, const std::uint8_t* data, std::size_t size) {
  const auto& slice = Tables().slice;
  for (; size >= 16; data += 16, size -= 16) {
    crc = LookUpWord(slice, crc ^ LoadLittleEndian32(data), 15) ^
          LookUpWord(slice, LoadLittleEndian32(data + 4), 11) ^
          LookUpWord(slice, LoadLittleEndian32(data + 8), 7) ^
          LookUpWord(slice, LoadLittleEndian32(data + 12), 3);
  }
  return UpdateByTable(crc, data, size);
}

#ifdef DISKSENTRY_X86
constexpr Crc32X86::Constants kFoldConstants = Crc32X86::ConstantsOf(Crc32::kPolynomial);

template <Crc32X86::FoldFunction fold>
std::uint32_t UpdateByFolding(std::uint32_t crc, const std::uint8_t* data, std::size_t size) {
  std::uint8_t block[16];
  const std::size_t folded = fold(kFoldConstants, crc, data, size, block);
  if (folded == 0) return UpdateBySlice16(crc, data, size);
  return UpdateBySlice16(UpdateBySlice16(0, block, sizeof block), data + folded, size - folded);
}
#endif

using UpdateFunction = std::uint32_t (*)(std::uint32_t, const std::uint8_t*, std::size_t);

// Null when this processor cannot run the path.
UpdateFunction FunctionOf(Crc32::Path path) {
  switch (path) {
    case Crc32::Path::Table:
      return UpdateByTable;
    case Crc32::Path::Slice16:
      return UpdateBySlice16;
#ifdef DISKSENTRY_X86
    case Crc32::Path::Pclmul:
      return Crc32X86::HasPclmul() ? UpdateByFolding<Crc32X86::FoldPclmul> : nullptr;
    case Crc32::Path::Vpclmul512:
      return Crc32X86::HasVpclmul512() ? UpdateByFolding<Crc32X86::FoldVpclmul512> : nullptr;
#endif
    default:
      return nullptr;
  }
}

struct Selection {
  Crc32::Path path;
  UpdateFunction update;
};

// The one dispatch point, settled on first use.
Selection& Current() {
  static Selection current = [] {
    for (const Crc32::Path path : {Crc32::Path::Vpclmul512, Crc32::Path::Pclmul}) {
      if (const UpdateFunction update = FunctionOf(path)) return Selection{path, update};
    }
    return Selection{Crc32::Path::Slice16, UpdateBySlice16};
  }();
  return current;
}

}  // namespace

void Crc32::BuildTable(std::uint32_t (&table)[256]) {
  for (std::uint32_t n = 0; n < 256; ++n) {
    std::uint32_t value = n;
    for (int round = 0; round < 8; ++round) value = TimesX(value);
    table[n] = value;
  }
}

std::uint32_t Crc32::Update(std::uint32_t crc, const std::uint8_t* data, std::size_t size) {
  return Current().update(crc, data, size);
}

std::uint32_t Crc32::Of(const void* data, std::size_t size) {
  return ~Update(0xFFFFFFFFu, static_cast<const std::uint8_t*>(data), size);
}

bool Crc32::Select(Path path) {
  const UpdateFunction update = FunctionOf(path);
  if (update == nullptr) return false;
  Current() = Selection{path, update};
  return true;
}

Crc32::Path Crc32::Selected() { return Current().path; }
