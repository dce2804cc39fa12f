#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "verify/Crc32.h"

namespace {

std::vector<std::uint8_t> RandomBytes(std::size_t size) {
  std::mt19937 generator(20240615);
  std::vector<std::uint8_t> bytes(size);
  for (std::uint8_t& byte : bytes) byte = static_cast<std::uint8_t>(generator() >> 24);
  return bytes;
}

// The definition, a byte at a time over the table, independent of every path.
class Reference {
 public:
  Reference() { Crc32::BuildTable(table); }

  std::uint32_t Next(std::uint32_t crc, std::uint8_t byte) const {
    return (crc >> 8) ^ table[(crc ^ byte) & 0xFFu];
  }

  std::uint32_t Update(std::uint32_t crc, const std::uint8_t* data, std::size_t size) const {
    for (std::size_t i = 0; i < size; ++i) crc = Next(crc, data[i]);
    return crc;
  }

 private:
  std::uint32_t table[256];
};

// Runs Crc32::Update through one path; skipped where this processor lacks it.
class Crc32Path : public ::testing::TestWithParam<Crc32::Path> {
 protected:
  void SetUp() override {
    if (!Crc32::Select(GetParam())) GTEST_SKIP() << "this processor cannot run the path";
  }
  void TearDown() override { Crc32::Select(fastest); }

  const Crc32::Path fastest = Crc32::Selected();
  const Reference reference;
};

const char* NameOf(Crc32::Path path) {
  const char* const names[] = {"Table", "Slice16", "Pclmul", "Vpclmul512"};
  return names[static_cast<int>(path)];
}

std::string PathName(const ::testing::TestParamInfo<Crc32::Path>& path) { return NameOf(path.param); }

}  // namespace

// Every length up to past a dozen turns of the widest loop, at every offset within 64 bytes.
TEST_P(Crc32Path, GivesTheReferenceAtEveryLengthAndAlignment) {
  constexpr std::size_t kLongest = 3100;
  constexpr std::size_t kAlignments = 64;
  const std::vector<std::uint8_t> bytes = RandomBytes(kLongest + kAlignments);
  for (std::size_t alignment = 0; alignment < kAlignments; ++alignment) {
    const std::uint8_t* data = bytes.data() + alignment;
    std::uint32_t expected = 0xFFFFFFFFu;
    for (std::size_t size = 0; size <= kLongest; ++size) {
      if (size > 0) expected = reference.Next(expected, data[size - 1]);
      const std::uint32_t crc = Crc32::Update(0xFFFFFFFFu, data, size);
      if (crc != expected) FAIL() << "length " << size << " at alignment " << alignment;
    }
  }
}

// Update continues from any register, so a file read in pieces gives the CRC of the whole.
TEST_P(Crc32Path, ChainedUpdatesGiveTheReferenceOfTheWhole) {
  const std::vector<std::uint8_t> bytes = RandomBytes(3 * 1048576 + 13);
  struct Case {
    const char* what;
    std::uint32_t start;
    std::vector<std::size_t> cuts;
  };
  const Case cases[] = {
      {"whole, preset register", 0xFFFFFFFFu, {}},
      {"whole, zero register", 0u, {}},
      {"whole, any register", 0x5A17C3E9u, {}},
      {"empty pieces", 0xFFFFFFFFu, {0, 0, 4096, 4096}},
      {"pieces around the fold widths", 0xFFFFFFFFu, {1, 17, 80, 335, 336, 593, 1000, 1255}},
      {"4096-byte spans from an odd start", 0xFFFFFFFFu, {3, 4099, 8195, 12291}},
      {"one byte, then a megabyte", 0x12345678u, {1, 1048577}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::uint32_t crc = c.start;
    std::size_t from = 0;
    for (const std::size_t cut : c.cuts) {
      crc = Crc32::Update(crc, bytes.data() + from, cut - from);
      from = cut;
    }
    crc = Crc32::Update(crc, bytes.data() + from, bytes.size() - from);
    EXPECT_EQ(crc, reference.Update(c.start, bytes.data(), bytes.size()));
  }
}

INSTANTIATE_TEST_SUITE_P(EveryPath, Crc32Path,
                         ::testing::Values(Crc32::Path::Table, Crc32::Path::Slice16,
                                           Crc32::Path::Pclmul, Crc32::Path::Vpclmul512),
                         PathName);

namespace {

// The fastest path by the processor's features as the compiler's runtime reads them, apart from the
// engine's own detection; every x86 build, 64- or 32-bit, carries the folds.
Crc32::Path FastestPathOfThisProcessor() {
#if defined(__x86_64__) || defined(__i386__)
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("vpclmulqdq")) {
    return Crc32::Path::Vpclmul512;
  }
  if (__builtin_cpu_supports("pclmul")) return Crc32::Path::Pclmul;
#endif
  return Crc32::Path::Slice16;
}

}  // namespace

// The verification must run on the fastest path the processor offers, not on a fallback. The paths
// this build ran on this processor are printed and recorded, since the path tests skip the others.
TEST(Crc32, UpdateStartsOnTheFastestPathThisProcessorRuns) {
  const Crc32::Path started = Crc32::Selected();
  std::string runs;
  for (const Crc32::Path path : {Crc32::Path::Table, Crc32::Path::Slice16, Crc32::Path::Pclmul,
                                 Crc32::Path::Vpclmul512}) {
    if (Crc32::Select(path)) runs += std::string(runs.empty() ? "" : " ") + NameOf(path);
  }
  Crc32::Select(started);
  RecordProperty("crc32_paths_run", runs);
  std::printf("CRC-32 paths run on this processor by this %d-bit build: %s\n",
              static_cast<int>(8 * sizeof(void*)), runs.c_str());
  EXPECT_EQ(started, FastestPathOfThisProcessor());
}
