#include <gtest/gtest.h>

#include "TestFiles.h"
#include "checklist/BufferedFileReader.h"
#include "platform/Platform.h"

// Check-list paths are CP932 with backslashes, whatever the platform; the sample disc has a
// name with 0x5C as a trail byte ("ソ" is 83 5C) and a file two folders down.
TEST(Platform, OpensCheckListPathsOnTheSampleDisc) {
  const std::pair<std::string, std::uint32_t> files[] = {
      {"\x83\x5C\x83\x74\x83\x67\x90\xE0\x96\xBE.txt", 38},  // ソフト説明.txt
      {"gamedata\\stage\\map01.dat", 5000},
  };
  for (const auto& [name, size] : files) {
    SCOPED_TRACE(name);
    BufferedFileReader reader;
    ASSERT_TRUE(reader.Open(SampleDiscPath(name).c_str()));
    EXPECT_EQ(reader.fileSize, size);
  }
}

TEST(Platform, ConvertsCp932ToUtf8) {
  const std::pair<std::string, std::string> cases[] = {
      {"plain ascii", "plain ascii"},
      {"\x83\x5C\x83\x74\x83\x67", "ソフト"},
      {"\xB1\xB2", "ｱｲ"},
      {"a\x81", "a\xEF\xBF\xBD"},           // a lead byte cut by the end
      {"\xFF" "b", "\xEF\xBF\xBD" "b"},     // a byte that is no character
  };
  for (const auto& [cp932, utf8] : cases) EXPECT_EQ(platform::Cp932ToUtf8(cp932), utf8);
}

// Only a conversion that reads back as the same text may name a file: "¥" would come back as a
// backslash, a separator in check-list paths.
TEST(Platform, ConvertsUtf8ToCp932OnlyWhereItReadsBack) {
  const std::pair<std::string, std::string> convertible[] = {
      {"", ""},
      {"plain ascii", "plain ascii"},
      {"ソフト", "\x83\x5C\x83\x74\x83\x67"},
      {"ｱｲ", "\xB1\xB2"},
      {"①髙", "\x87\x40\xFB\xFC"},
  };
  for (const auto& [utf8, cp932] : convertible) {
    std::string converted = "untouched";
    EXPECT_TRUE(platform::Utf8ToCp932(utf8, converted)) << utf8;
    EXPECT_EQ(converted, cp932);
  }
  for (const std::string utf8 : {"¥100", "a〜b", "한국어", "smile 😀", "bad \xFF byte", "cut \xE3\x81"}) {
    std::string converted = "untouched";
    EXPECT_FALSE(platform::Utf8ToCp932(utf8, converted)) << utf8;
    EXPECT_EQ(converted, "untouched");
  }
}
