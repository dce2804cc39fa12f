#include "verify/Crc32X86.h"

// GCC 12's AVX-512 intrinsics start their results from a self-initialised value, which its own
// uninitialised-use warning flags wherever they are inlined (GCC bug 105593).
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <immintrin.h>
#pragma GCC diagnostic pop
#else
#include <immintrin.h>
#endif

#include "verify/Crc32.h"

// The instruction sets are enabled per function, so the rest of the program runs anywhere.
#if defined(_MSC_VER)
#include <intrin.h>
#define DISKSENTRY_TARGET(features)
#else
#include <cpuid.h>
#define DISKSENTRY_TARGET(features) __attribute__((target(features)))
#endif

#define DISKSENTRY_PCLMUL DISKSENTRY_TARGET("pclmul")
#define DISKSENTRY_VPCLMUL512 DISKSENTRY_TARGET("pclmul,avx512f,vpclmulqdq")

namespace {

struct CpuidRegisters {
  std::uint32_t eax, ebx, ecx, edx;
};

CpuidRegisters Cpuid(std::uint32_t leaf) {
#if defined(_MSC_VER)
  int registers[4];
  __cpuidex(registers, static_cast<int>(leaf), 0);
  return {static_cast<std::uint32_t>(registers[0]), static_cast<std::uint32_t>(registers[1]),
          static_cast<std::uint32_t>(registers[2]), static_cast<std::uint32_t>(registers[3])};
#else
  CpuidRegisters registers{};
  __cpuid_count(leaf, 0, registers.eax, registers.ebx, registers.ecx, registers.edx);
  return registers;
#endif
}

bool Bit(std::uint32_t value, int bit) { return ((value >> bit) & 1u) != 0; }

DISKSENTRY_TARGET("xsave") std::uint64_t EnabledRegisterStates() {
  return static_cast<std::uint64_t>(_xgetbv(0));
}

using FoldDistance = Crc32X86::FoldDistance;
using Constants = Crc32X86::Constants;

long long Signed(std::uint64_t value) { return static_cast<long long>(value); }

DISKSENTRY_PCLMUL inline __m128i Load(const std::uint8_t* bytes) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
}

DISKSENTRY_PCLMUL inline __m128i Pair(FoldDistance distance) {
  return _mm_set_epi64x(Signed(distance.last), Signed(distance.first));
}

DISKSENTRY_PCLMUL inline __m128i Fold(__m128i block, __m128i distance, __m128i onto) {
  return _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(block, distance, 0x00),
                                     _mm_clmulepi64_si128(block, distance, 0x11)),
                       onto);
}

// Folds the whole 16-byte blocks of data from offset at onward into folded and stores it.
DISKSENTRY_PCLMUL inline std::size_t FoldRemainingBlocks(const Constants& constants,
                                                         __m128i folded, const std::uint8_t* data,
                                                         std::size_t size, std::size_t at,
                                                         std::uint8_t* block) {
  const __m128i by128 = Pair(constants.by128);
  for (; size - at >= 16; at += 16) folded = Fold(folded, by128, Load(data + at));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(block), folded);
  return at;
}

DISKSENTRY_VPCLMUL512 inline __m512i Load512(const std::uint8_t* bytes) {
  return _mm512_loadu_si512(bytes);
}

DISKSENTRY_VPCLMUL512 inline __m512i Pair512(FoldDistance distance) {
  return _mm512_broadcast_i32x4(Pair(distance));
}

DISKSENTRY_VPCLMUL512 inline __m512i Fold(__m512i blocks, __m512i distance, __m512i onto) {
  constexpr int kXorOfThree = 0x96;
  return _mm512_ternarylogic_epi64(_mm512_clmulepi64_epi128(blocks, distance, 0x00),
                                   _mm512_clmulepi64_epi128(blocks, distance, 0x11), onto,
                                   kXorOfThree);
}

// The four 16-byte lanes folded into one: each moved onto the last, which stays as it is.
DISKSENTRY_VPCLMUL512 inline __m128i FoldLanes(const Constants& constants, __m512i lanes) {
  const FoldDistance& by128 = constants.by128;
  const FoldDistance& by256 = constants.by256;
  const FoldDistance& by384 = constants.by384;
  const __m512i distances =
      _mm512_set_epi64(0, 0, Signed(by128.last), Signed(by128.first), Signed(by256.last),
                       Signed(by256.first), Signed(by384.last), Signed(by384.first));
  const __m512i moved = Fold(lanes, distances, _mm512_maskz_mov_epi64(0xC0, lanes));
  const __m256i halves =
      _mm256_xor_si256(_mm512_castsi512_si256(moved), _mm512_extracti64x4_epi64(moved, 1));
  return _mm_xor_si128(_mm256_castsi256_si128(halves), _mm256_extracti128_si256(halves, 1));
}

}  // namespace

bool Crc32X86::HasPclmul() { return Bit(Cpuid(1).ecx, 1); }

bool Crc32X86::HasVpclmul512() {
  const CpuidRegisters basic = Cpuid(1);
  const bool osSavesRegisters = Bit(basic.ecx, 27);
  if (!Bit(basic.ecx, 1) || !osSavesRegisters || Cpuid(0).eax < 7) return false;
  // SSE, AVX, opmask and both halves of the 32 ZMM registers.
  constexpr std::uint64_t kAvx512States = 0xE6;
  if ((EnabledRegisterStates() & kAvx512States) != kAvx512States) return false;
  const CpuidRegisters extended = Cpuid(7);
  return Bit(extended.ebx, 16) && Bit(extended.ecx, 10);
}

DISKSENTRY_PCLMUL std::size_t Crc32X86::FoldPclmul(const Constants& constants, std::uint32_t crc,
                                                   const std::uint8_t* data, std::size_t size,
                                                   std::uint8_t* block) {
  if (size < 64) return 0;
  const __m128i by512 = Pair(constants.by512);
  __m128i lane0 = _mm_xor_si128(Load(data), _mm_cvtsi32_si128(static_cast<int>(crc)));
  __m128i lane1 = Load(data + 16);
  __m128i lane2 = Load(data + 32);
  __m128i lane3 = Load(data + 48);
  std::size_t at = 64;
  for (; size - at >= 64; at += 64) {
    lane0 = Fold(lane0, by512, Load(data + at));
    lane1 = Fold(lane1, by512, Load(data + at + 16));
    lane2 = Fold(lane2, by512, Load(data + at + 32));
    lane3 = Fold(lane3, by512, Load(data + at + 48));
  }
  const __m128i by128 = Pair(constants.by128);
  const __m128i folded = Fold(Fold(Fold(lane0, by128, lane1), by128, lane2), by128, lane3);
  return FoldRemainingBlocks(constants, folded, data, size, at, block);
}

DISKSENTRY_VPCLMUL512 std::size_t Crc32X86::FoldVpclmul512(const Constants& constants,
                                                           std::uint32_t crc,
                                                           const std::uint8_t* data,
                                                           std::size_t size, std::uint8_t* block) {
  if (size < 256) return FoldPclmul(constants, crc, data, size, block);
  const __m512i by2048 = Pair512(constants.by2048);
  const __m128i preset = _mm_cvtsi32_si128(static_cast<int>(crc));
  __m512i lanes0 = _mm512_xor_si512(Load512(data), _mm512_zextsi128_si512(preset));
  __m512i lanes1 = Load512(data + 64);
  __m512i lanes2 = Load512(data + 128);
  __m512i lanes3 = Load512(data + 192);
  std::size_t at = 256;
  for (; size - at >= 256; at += 256) {
    lanes0 = Fold(lanes0, by2048, Load512(data + at));
    lanes1 = Fold(lanes1, by2048, Load512(data + at + 64));
    lanes2 = Fold(lanes2, by2048, Load512(data + at + 128));
    lanes3 = Fold(lanes3, by2048, Load512(data + at + 192));
  }
  const __m512i by512 = Pair512(constants.by512);
  __m512i lanes = Fold(Fold(Fold(lanes0, by512, lanes1), by512, lanes2), by512, lanes3);
  for (; size - at >= 64; at += 64) lanes = Fold(lanes, by512, Load512(data + at));
  return FoldRemainingBlocks(constants, FoldLanes(constants, lanes), data, size, at, block);
}
