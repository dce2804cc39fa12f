#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lists/Text.h"

// Lint takes a file for UTF-8 only where every sequence is whole, and the progress line must
// never split one: a byte that starts no whole sequence is one step of its own.
TEST(Text, DecodesWholeUtf8SequencesAndStepsOverOthersByOneByte) {
  struct Case {
    std::string bytes;
    char32_t character;
    std::size_t length;
  };
  const std::vector<Case> cases = {
      {"A", U'A', 1},
      {"\xC3\xA9", 0xE9, 2},                   // "é"
      {"\xE3\x82\xBD", 0x30BD, 3},             // "ソ"
      {"\xF0\x9F\x98\x80", 0x1F600, 4},        // an emoji, two UTF-16 units
      {"\x83\x5C", text::kNotUtf8, 1},         // CP932 "ソ": a trail byte first
      {"\xC0\xAF", text::kNotUtf8, 1},         // an overlong "/"
      {"\xF5\x80\x80\x80", text::kNotUtf8, 1}, // past U+10FFFF
      {"\xE3\x82", text::kNotUtf8, 1},         // cut short
      {"\xE3\x41\xBD", text::kNotUtf8, 1},     // no continuation byte
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.bytes);
    std::size_t i = 0;
    EXPECT_EQ(text::NextCharacter(test.bytes, i), test.character);
    EXPECT_EQ(i, test.length);
    if (test.character == text::kNotUtf8) continue;
    std::string encoded;
    text::AppendCharacter(test.character, encoded);
    EXPECT_EQ(encoded, test.bytes);
  }
}

TEST(Text, WritesHexInCapitalsWithAtLeastTheDigitsAsked) {
  EXPECT_EQ(text::Hex(0x692079AA, 8), "0x692079AA");
  EXPECT_EQ(text::Hex(0x1F, 8), "0x0000001F");
  EXPECT_EQ(text::Hex(0x7F, 2), "0x7F");
  EXPECT_EQ(text::Hex(0xFFFFFFFF, 2), "0xFFFFFFFF");
}
