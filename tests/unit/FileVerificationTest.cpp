#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "TestFiles.h"
#include "checklist/BufferedFileReader.h"
#include "verify/Crc32.h"
#include "verify/FileVerification.h"

namespace {

std::string Pattern(std::uint32_t size) {
  std::string bytes(size, '\0');
  for (std::uint32_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 31 + (i >> 9)) & 0xFF);
  return bytes;
}

// What the verification reported, in order: "B" for a boundary, "P<n>" for a bar value.
struct Recorded {
  VerificationResult result;
  std::string events;
  int boundaries = 0;
};

Recorded Verify(const std::string& path, std::int32_t size, std::uint32_t crc, int stopAtBoundary = 0) {
  Recorded recorded{VerificationResult::Intact, ""};
  VerificationProgress progress;
  progress.boundaryReached = [&] {
    recorded.events += "B ";
    return ++recorded.boundaries != stopAtBoundary;
  };
  progress.setPercent = [&](int percent) { recorded.events += "P" + std::to_string(percent) + " "; };
  recorded.result = VerifyFileContents(path.c_str(), size, crc, progress).result;
  return recorded;
}

std::string Bars(int from, int to) {
  std::string bars;
  for (int percent = from; percent <= to; ++percent) bars += "P" + std::to_string(percent) + " B ";
  return bars;
}

}  // namespace

TEST(Crc32, MatchesTheCheckValueAndTheTableDefinition) {
  EXPECT_EQ(Crc32::Of("123456789", 9), 0xCBF43926u);
  EXPECT_EQ(Crc32::Of("", 0), 0u);
  std::uint32_t table[256];
  Crc32::BuildTable(table);
  EXPECT_EQ(table[0], 0u);
  EXPECT_EQ(table[1], 0x77073096u);
  EXPECT_EQ(table[128], 0xEDB88320u);
  EXPECT_EQ(table[255], 0x2D02EF8Du);
}

TEST(FileVerification, ReportsBoundariesAndBarValuesAtTheirBytes) {
  struct Case {
    std::uint32_t size;
    std::string events;
  };
  const Case cases[] = {
      {0, ""},
      {1, "B "},
      {4096, "B "},
      {4097, "B P99 B "},
      {8193, "B P49 B P99 B "},
      {409600, "B " + Bars(1, 99)},
  };
  TempFolder folder;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size);
    const std::string bytes = Pattern(c.size);
    const Recorded recorded = Verify(folder.Write("file.bin", bytes), static_cast<std::int32_t>(c.size),
                                     Crc32::Of(bytes.data(), bytes.size()));
    EXPECT_EQ(recorded.result, VerificationResult::Intact);
    EXPECT_EQ(recorded.events, c.events);
  }
}

// Past 409,600 bytes a boundary moves the bar only once a hundredth of the file has gone by.
TEST(FileVerification, MovesTheBarEverySecondBoundaryJustPastAHundredBoundaries) {
  TempFolder folder;
  const std::string bytes = Pattern(409601);
  const Recorded recorded =
      Verify(folder.Write("file.bin", bytes), 409601, Crc32::Of(bytes.data(), bytes.size()));
  EXPECT_EQ(recorded.result, VerificationResult::Intact);
  EXPECT_EQ(recorded.events.rfind("B B P1 B B P3 B B P5 B B ", 0), 0u);
  EXPECT_EQ(recorded.boundaries, 101);
}

TEST(FileVerification, ComparesSizeBeforeReadingAndCrcAfter) {
  TempFolder folder;
  const std::string bytes = Pattern(5000);
  const std::string path = folder.Write("file.bin", bytes);
  const std::uint32_t crc = Crc32::Of(bytes.data(), bytes.size());
  const std::string empty = folder.Write("empty.bin", "");

  struct Case {
    const char* what;
    std::string path;
    std::int32_t size;
    std::uint32_t crc;
    VerificationResult result;
    std::string events;
  };
  const Case cases[] = {
      {"one byte short", path, 4999, crc, VerificationResult::SizeDiffers, ""},
      {"one byte long", path, 5001, crc, VerificationResult::SizeDiffers, ""},
      {"another crc", path, 5000, crc ^ 1u, VerificationResult::CrcDiffers, "B P81 B "},
      {"empty with crc 0", empty, 0, 0, VerificationResult::Intact, ""},
      {"empty with another crc", empty, 0, 0x12345678, VerificationResult::CrcDiffers, ""},
      {"missing", folder.PathOf("missing.bin"), 0, 0, VerificationResult::OpenFailed, ""},
      {"text after a NUL", path + std::string("\0.bak", 5), 5000, crc, VerificationResult::Intact, "B P81 B "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Recorded recorded = Verify(c.path, c.size, c.crc);
    EXPECT_EQ(recorded.result, c.result);
    EXPECT_EQ(recorded.events, c.events);
  }
}

TEST(FileVerification, StopsAtTheBoundaryThatSaysSoAndClosesTheFile) {
  TempFolder folder;
  const std::string bytes = Pattern(3 * 1048576 + 17);
  const std::string path = folder.Write("large.bin", bytes);
  const Recorded recorded = Verify(path, static_cast<std::int32_t>(bytes.size()),
                                   Crc32::Of(bytes.data(), bytes.size()), 300);
  EXPECT_EQ(recorded.result, VerificationResult::Stopped);
  EXPECT_EQ(recorded.boundaries, 300);
  // Windows refuses to delete a file that is still open.
  EXPECT_TRUE(std::filesystem::remove(path));
}

#ifndef _WIN32
// A file that was empty when opened has no size to take a share of; it must not divide by zero.
// Only POSIX lets another writer change a file that the reader holds open.
TEST(FileVerification, AFileThatGrowsFromEmptyLeavesTheBarAlone) {
  TempFolder folder;
  const std::string path = folder.Write("growing.bin", "");
  BufferedFileReader reader;
  ASSERT_TRUE(reader.Open(path.c_str()));
  const std::string bytes = Pattern(20000);
  folder.Write("growing.bin", bytes);

  int boundaries = 0;
  int bars = 0;
  VerificationProgress progress;
  progress.boundaryReached = [&] { return ++boundaries > 0; };
  progress.setPercent = [&](int) { ++bars; };
  EXPECT_EQ(VerifyOpenedFile(reader, 0, Crc32::Of(bytes.data(), bytes.size()), progress).result,
            VerificationResult::Intact);
  EXPECT_EQ(boundaries, 5);
  EXPECT_EQ(bars, 0);
}
#endif

#ifndef _WIN32
// A file's size at opening is only where the reading starts from: the program reads every byte
// there is, so a file that the list describes by the low 32 bits of its size, or that grows while
// it is read, is not taken for the file listed. Sparse and grown files need POSIX.
TEST(FileVerification, ReadsEveryByteThereIsWhateverTheSizeAtOpening) {
  TempFolder folder(SparseFileBase());
  const std::string head = "abcde";
  const std::uint32_t headCrc = Crc32::Of(head.data(), head.size());
  const std::string large = folder.Write("large.bin", head);
  const std::uint64_t largeSize = (std::uint64_t{1} << 32) + head.size();
  std::filesystem::resize_file(large, largeSize);
  const std::string growing = folder.Write("growing.bin", Pattern(5000));
  const std::string grown = Pattern(5000) + head;

  struct Case {
    const char* what;
    std::string path;
    std::uint64_t bytesRead;
    std::uint32_t crc;  // of every byte
  };
  const std::vector<std::uint8_t> zeros(1 << 20, 0);
  std::uint32_t largeCrc = Crc32::Update(
      0xFFFFFFFFu, reinterpret_cast<const std::uint8_t*>(head.data()), head.size());
  for (std::uint64_t left = largeSize - head.size(); left > 0;) {
    const std::size_t chunk = static_cast<std::size_t>(std::min<std::uint64_t>(left, zeros.size()));
    largeCrc = Crc32::Update(largeCrc, zeros.data(), chunk);
    left -= chunk;
  }
  const Case cases[] = {
      {"4 GiB and 5 bytes, listed as 5", large, largeSize, ~largeCrc},
      {"5000 bytes that grow by 5", growing, grown.size(), Crc32::Of(grown.data(), grown.size())},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::uint32_t listedSize = static_cast<std::uint32_t>(std::filesystem::file_size(c.path));
    const std::uint32_t listedCrc = c.path == large ? headCrc : Crc32::Of(grown.data(), 5000);
    bool grew = false;
    VerificationProgress progress;
    progress.boundaryReached = [&] {
      if (c.path == growing && !grew) grew = (std::ofstream(c.path, std::ios::app) << head).good();
      return true;
    };
    progress.setPercent = [](int) {};
    const VerificationOutcome outcome = VerifyFileContents(
        c.path.c_str(), static_cast<std::int32_t>(listedSize), listedCrc, progress);
    EXPECT_EQ(outcome.result, VerificationResult::CrcDiffers);
    EXPECT_EQ(outcome.bytesRead, c.bytesRead);
    EXPECT_EQ(outcome.crc, c.crc);
    EXPECT_FALSE(outcome.readFailed);
  }
}
#endif
