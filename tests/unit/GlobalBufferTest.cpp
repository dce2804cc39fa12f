#include <gtest/gtest.h>

#include <cstring>

#include "TestFiles.h"
#include "checklist/FileImage.h"
#include "checklist/GlobalBuffer.h"

TEST(GlobalBuffer, RefusesEmptyAndNegativeSizesAndKeepsItsBlock) {
  GlobalBuffer buffer;
  EXPECT_FALSE(buffer.Allocate(0));
  EXPECT_FALSE(buffer.Allocate(-5));
  EXPECT_EQ(buffer.Data(), nullptr);

  ASSERT_TRUE(buffer.Allocate(16));
  std::uint8_t* data = buffer.Data();
  EXPECT_FALSE(buffer.Resize(0));
  EXPECT_FALSE(buffer.Resize(-1));
  EXPECT_EQ(buffer.Size(), 16);
  EXPECT_EQ(buffer.Data(), data);
}

TEST(GlobalBuffer, ResizeKeepsTheLeadingBytes) {
  GlobalBuffer buffer;
  ASSERT_TRUE(buffer.Resize(4));  // without a block it allocates
  std::memcpy(buffer.Data(), "abcd", 4);
  ASSERT_TRUE(buffer.Resize(1 << 20));
  EXPECT_EQ(std::memcmp(buffer.Data(), "abcd", 4), 0);
  ASSERT_TRUE(buffer.Resize(2));
  EXPECT_EQ(buffer.Size(), 2);
  EXPECT_EQ(std::memcmp(buffer.Data(), "ab", 2), 0);
  buffer.Release();
  EXPECT_EQ(buffer.Size(), 0);
  EXPECT_EQ(buffer.Data(), nullptr);
}

TEST(FileImage, LoadsTheWholeFile) {
  TempFolder folder;
  const std::string bytes("line\r\n\0\xFF end", 12);
  FileImage image;
  ASSERT_TRUE(image.LoadFile(folder.Write("list.inf", bytes).c_str()));
  ASSERT_EQ(image.Size(), 12);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(image.Data()), 12), bytes);
}

TEST(FileImage, FailsOnAMissingOrEmptyFileAndKeepsWhatItHeld) {
  TempFolder folder;
  FileImage image;
  ASSERT_TRUE(image.LoadFile(folder.Write("full.inf", "abc").c_str()));

  EXPECT_FALSE(image.LoadFile(folder.PathOf("missing.inf").c_str()));
  EXPECT_EQ(image.Size(), 3);
  EXPECT_EQ(std::memcmp(image.Data(), "abc", 3), 0);

  EXPECT_FALSE(image.LoadFile(folder.Write("empty.inf", "").c_str()));
}

TEST(FileImage, FailsOnAFolder) {
  TempFolder folder;
  FileImage image;
  EXPECT_FALSE(image.LoadFile(folder.PathOf("").c_str()));
}
