// A raw CD sector's checks, with the EDC on every path of the CRC engine that this processor runs.

#ifndef _WIN32

#include "disc/sectors/CdSector.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "verify/Crc32.h"

namespace {

// The EDC bit by bit, from its polynomial alone.
std::uint32_t BitwiseEdc(const std::uint8_t* bytes, std::size_t size) {
  std::uint32_t edc = 0;
  for (std::size_t i = 0; i < size; ++i) {
    edc ^= bytes[i];
    for (int bit = 0; bit < 8; ++bit) edc = (edc >> 1) ^ ((edc & 1) ? 0xD8018001u : 0);
  }
  return edc;
}

void StoreEdc(std::uint8_t* at, std::uint32_t edc) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(edc >> (8 * i));
}

std::uint8_t Bcd(std::uint32_t value) { return static_cast<std::uint8_t>(value / 10 * 16 + value % 10); }

// A Mode 1 sector at that address, its EDC right; ECC is not checked, and stays zero.
std::vector<std::uint8_t> Mode1Sector(std::uint32_t lba) {
  std::vector<std::uint8_t> sector(cd_sector::kRawSize, 0);
  std::memset(sector.data() + 1, 0xFF, 10);
  const std::uint32_t frames = lba + 150;
  sector[12] = Bcd(frames / 75 / 60);
  sector[13] = Bcd(frames / 75 % 60);
  sector[14] = Bcd(frames % 75);
  sector[15] = 1;
  std::mt19937 random(lba);
  for (std::size_t i = 16; i < 2064; ++i) sector[i] = static_cast<std::uint8_t>(random());
  StoreEdc(sector.data() + 2064, BitwiseEdc(sector.data(), 2064));
  return sector;
}

class EveryPath : public ::testing::Test {
 protected:
  ~EveryPath() override { Crc32::Select(initial); }
  const Crc32::Path initial = Crc32::Selected();
};

TEST_F(EveryPath, TheEdcIsItsPolynomialsRemainderAtEveryLengthAndAlignment) {
  std::vector<std::uint8_t> bytes(2200 + 64);
  std::mt19937 random(7);
  for (std::uint8_t& byte : bytes) byte = static_cast<std::uint8_t>(random());
  for (const Crc32::Path path : {Crc32::Path::Slice16, Crc32::Path::Pclmul,
                                 Crc32::Path::Vpclmul512}) {
    if (!Crc32::Select(path)) continue;
    for (std::size_t start = 0; start < 64; start += 13) {
      for (std::size_t size = 0; size <= 2200; size += size < 300 ? 1 : 61) {
        ASSERT_EQ(cd_sector::Edc(bytes.data() + start, size),
                  BitwiseEdc(bytes.data() + start, size))
            << "path " << static_cast<int>(path) << ", start " << start << ", size " << size;
      }
    }
  }
}

TEST(CdSector, AcceptsOnlyASectorWhoseFramingVouchesForItsData) {
  struct Case {
    const char* what;
    std::size_t at;  // the byte changed, or the size to say none
    std::uint32_t readAs;
    const char* reason;  // null: the sector reads
  };
  const std::uint32_t lba = 4500;
  const Case cases[] = {
      {"intact", cd_sector::kRawSize, lba, nullptr},
      {"its sync", 5, lba, "its sync pattern is damaged"},
      {"its header, read at another address", cd_sector::kRawSize, lba + 1,
       "its header gives another address"},
      {"a byte of its data", 1000, lba, "its EDC does not match its data"},
      {"its EDC", 2066, lba, "its EDC does not match its data"},
      {"its mode", 15, lba, "its header gives no mode a drive reads"},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.what);
    std::vector<std::uint8_t> sector = Mode1Sector(lba);
    if (row.at < sector.size()) sector[row.at] ^= 0x40;
    const std::uint8_t* data = nullptr;
    const char* reason = cd_sector::Check(sector.data(), row.readAs, data);
    if (row.reason == nullptr) {
      EXPECT_EQ(reason, nullptr) << reason;
      EXPECT_EQ(data, sector.data() + 16);
    } else {
      ASSERT_NE(reason, nullptr);
      EXPECT_STREQ(reason, row.reason);
    }
  }
  EXPECT_EQ(cd_sector::Msf(lba), "01:02:00");
}

}  // namespace

#endif
