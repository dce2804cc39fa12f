#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "TestFiles.h"
#include "checklist/BufferedFileReader.h"

namespace {

constexpr std::uint32_t kMiB = 0x100000;

std::string Pattern(std::uint32_t size) {
  std::string bytes(size, '\0');
  for (std::uint32_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
  return bytes;
}

std::string ReadAllBytes(BufferedFileReader& reader) {
  std::string bytes;
  std::uint8_t byte = 0;
  while (reader.ReadByte(byte)) bytes += static_cast<char>(byte);
  return bytes;
}

}  // namespace

TEST(BufferedFileReader, DeliversEveryByteThenReportsTheEnd) {
  for (const std::uint32_t size : {0u, 1u, kMiB - 1, kMiB, kMiB + 1, 2 * kMiB + 3}) {
    SCOPED_TRACE(size);
    TempFolder folder;
    const std::string bytes = Pattern(size);
    BufferedFileReader reader;
    ASSERT_TRUE(reader.Open(folder.Write("data.bin", bytes).c_str()));
    EXPECT_EQ(reader.fileSize, size);
    EXPECT_EQ(ReadAllBytes(reader), bytes);
    std::uint8_t byte = 0;
    EXPECT_FALSE(reader.ReadByte(byte));
  }
}

TEST(BufferedFileReader, SpansAndSingleBytesShareOneStream) {
  TempFolder folder;
  const std::string bytes = Pattern(kMiB + 5000);
  BufferedFileReader reader;
  ASSERT_TRUE(reader.Open(folder.Write("data.bin", bytes).c_str()));

  std::string seen;
  std::uint8_t byte = 0;
  for (int turn = 0;; ++turn) {
    if (turn % 2 == 0) {
      if (!reader.ReadByte(byte)) break;
      seen += static_cast<char>(byte);
      continue;
    }
    const ByteSpan span = reader.ReadSpan(4095);
    if (span.size == 0) break;
    EXPECT_LE(span.size, 4095u);
    seen.append(reinterpret_cast<const char*>(span.data), span.size);
  }
  EXPECT_EQ(seen, bytes);
  EXPECT_EQ(reader.ReadSpan(4096).size, 0u);
}

TEST(BufferedFileReader, AFailedOpenLeavesNothingToRead) {
  TempFolder folder;
  BufferedFileReader reader;
  EXPECT_FALSE(reader.Open(folder.PathOf("missing.bin").c_str()));
  std::uint8_t byte = 0;
  EXPECT_FALSE(reader.ReadByte(byte));
  EXPECT_TRUE(reader.Close());
}

// The reader trusts the file, not the size it had when it was opened. On Windows the reader's
// sharing mode keeps writers out while it is open, so only POSIX can change the file under it.
#ifndef _WIN32
TEST(BufferedFileReader, DeliversWhatIsThereWhenTheFileChangesAfterOpening) {
  TempFolder folder;
  for (const std::uint32_t later : {10u, 5000u, kMiB + 7}) {
    SCOPED_TRACE(later);
    const std::string path = folder.Write("data.bin", Pattern(3000));
    BufferedFileReader reader;
    ASSERT_TRUE(reader.Open(path.c_str()));
    const std::string changed = Pattern(later);
    folder.Write("data.bin", changed);
    EXPECT_EQ(reader.fileSize, 3000u);
    EXPECT_EQ(ReadAllBytes(reader), changed);
  }
}
#endif
