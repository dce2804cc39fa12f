#include "disc/sectors/CdSector.h"

#include <array>
#include <cstdio>
#include <cstring>

#include "disc/sectors/LittleEndian.h"
#include "verify/Crc32.h"

#if defined(__x86_64__) || defined(__i386__)
#define DISKSENTRY_X86
#include "verify/Crc32X86.h"
#endif

namespace cd_sector {

namespace {

constexpr std::uint32_t kReflectedPolynomial = 0xD8018001u;
constexpr std::uint32_t kFramesPerSecond = 75;
constexpr std::uint32_t kLeadInFrames = 150;
constexpr std::uint8_t kSync[12] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                    0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};

// Eight tables, so that eight bytes are taken at a step: table k gives a byte's remainder
// followed by k zero bytes.
using Tables = std::array<std::array<std::uint32_t, 256>, 8>;

Tables MakeTables() {
  Tables tables{};
  for (std::uint32_t byte = 0; byte < 256; ++byte) {
    std::uint32_t edc = byte;
    for (int bit = 0; bit < 8; ++bit) edc = (edc >> 1) ^ ((edc & 1) ? kReflectedPolynomial : 0);
    tables[0][byte] = edc;
  }
  for (std::size_t k = 1; k < tables.size(); ++k) {
    for (std::uint32_t byte = 0; byte < 256; ++byte) {
      const std::uint32_t previous = tables[k - 1][byte];
      tables[k][byte] = (previous >> 8) ^ tables[0][previous & 0xFF];
    }
  }
  return tables;
}

const Tables kTables = MakeTables();

#ifdef DISKSENTRY_X86
constexpr Crc32X86::Constants kFoldConstants = Crc32X86::ConstantsOf(kReflectedPolynomial);
#endif

std::uint32_t Bcd(std::uint8_t byte) { return (byte >> 4) * 10u + (byte & 0x0Fu); }

bool HeaderAddresses(const std::uint8_t* raw, std::uint32_t lba) {
  const std::uint32_t frames =
      (Bcd(raw[12]) * 60u + Bcd(raw[13])) * kFramesPerSecond + Bcd(raw[14]);
  return frames == lba + kLeadInFrames;
}

// Eight bytes at a step through the tables, the rest one by one.
std::uint32_t Sliced(std::uint32_t edc, const std::uint8_t* bytes, std::size_t size) {
  for (; size >= 8; bytes += 8, size -= 8) {
    const std::uint32_t low = edc ^ little_endian::Get32(bytes);
    edc = kTables[7][low & 0xFF] ^ kTables[6][(low >> 8) & 0xFF] ^ kTables[5][(low >> 16) & 0xFF] ^
          kTables[4][low >> 24] ^ kTables[3][bytes[4]] ^ kTables[2][bytes[5]] ^
          kTables[1][bytes[6]] ^ kTables[0][bytes[7]];
  }
  for (; size != 0; ++bytes, --size) edc = (edc >> 8) ^ kTables[0][(edc ^ *bytes) & 0xFF];
  return edc;
}

}  // namespace

// The engine's folds take whole blocks on the path that the CRC-32 runs on; the tables finish.
std::uint32_t Edc(const std::uint8_t* bytes, std::size_t size) {
#ifdef DISKSENTRY_X86
  std::uint8_t block[16];
  std::size_t folded = 0;
  if (Crc32::Selected() == Crc32::Path::Vpclmul512) {
    folded = Crc32X86::FoldVpclmul512(kFoldConstants, 0, bytes, size, block);
  } else if (Crc32::Selected() == Crc32::Path::Pclmul) {
    folded = Crc32X86::FoldPclmul(kFoldConstants, 0, bytes, size, block);
  }
  if (folded != 0) return Sliced(Sliced(0, block, sizeof block), bytes + folded, size - folded);
#endif
  return Sliced(0, bytes, size);
}

const char* Check(const std::uint8_t* raw, std::uint32_t lba, const std::uint8_t*& data) {
  if (std::memcmp(raw, kSync, sizeof kSync) != 0) return "its sync pattern is damaged";
  if (!HeaderAddresses(raw, lba)) return "its header gives another address";
  switch (raw[15]) {
    case 1:
      if (Edc(raw, 2064) != little_endian::Get32(raw + 2064))
        return "its EDC does not match its data";
      data = raw + 16;
      return nullptr;
    case 2:
      // Form 2 (bit 5 of the submode) carries 2324 bytes of media data, no file system's.
      if (raw[18] & 0x20) return "it is a Mode 2 Form 2 sector, which holds no file data";
      if (Edc(raw + 16, 2056) != little_endian::Get32(raw + 2072))
        return "its EDC does not match its data";
      data = raw + 24;
      return nullptr;
    case 0: return "it is an empty Mode 0 sector";
    default: return "its header gives no mode a drive reads";
  }
}

std::string Msf(std::uint32_t lba) {
  const std::uint32_t frames = lba + kLeadInFrames;
  char text[16];
  std::snprintf(text, sizeof text, "%02u:%02u:%02u", frames / kFramesPerSecond / 60,
                frames / kFramesPerSecond % 60, frames % kFramesPerSecond);
  return text;
}

}  // namespace cd_sector
