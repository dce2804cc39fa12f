#include <gtest/gtest.h>
#include <string>

#include "platform/WideText.h"

// What Windows is given for the program's CP932 bytes, whatever the system's ANSI code page.
TEST(WideText, DecodesCp932WithCodePage932) {
  struct Case {
    const char* what;
    const char* cp932;
    std::wstring wide;
  };
  const Case cases[] = {
      {"empty", "", L""},
      {"ASCII", "E:\\setup.dat", L"E:\\setup.dat"},
      {"0x5C trail bytes", "E:\\\x95\\.bin\\\x83\\\x83t\x83g", L"E:\\\u8868.bin\\\u30BD\u30D5\u30C8"},
      {"half-width katakana", "\xC0\xDE\xB2\xB1\xDB\xB8\xDE", L"\uFF80\uFF9E\uFF72\uFF71\uFF9B\uFF78\uFF9E"},
      {"NEC special characters", "\x87\x40\x87\x54\x87\x8A", L"\u2460\u2160\u3231"},
      {"IBM extensions", "\xFB\xFC\xFA\x40", L"\u9AD9\u2170"},
      {"up to the first NUL", "a\0tail", L"a"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(platform::Wide(c.cp932), c.wide);
  }
}

// A byte that is no CP932 character becomes what Windows' own table makes of it, as it would for
// an A function on a Japanese system, and the text around it is kept.
TEST(WideText, DecodesAnInvalidByteAsWindowsDoes) {
  struct Case {
    const char* cp932;
    std::wstring wide;
  };
  const Case cases[] = {
      {"a\x80z", L"a\u0080z"},
      {"a\xA0z", L"a\uF8F0z"},
      {"a\xFDz", L"a\uF8F1z"},
      {"a\xFFz", L"a\uF8F3z"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.cp932);
    EXPECT_EQ(platform::Wide(c.cp932), c.wide);
  }
}

TEST(WideText, EncodesEveryCharacterToCp932) {
  EXPECT_EQ(platform::Cp932(L"E:\\"), "E:\\");
  EXPECT_EQ(platform::Cp932(L"\u8868\u2460\uFF71"), "\x95\\\x87\x40\xB1");
  // NULs count: the length of a registry string is taken with them.
  EXPECT_EQ(platform::Cp932(std::wstring(L"a\0b", 3)), std::string("a\0b", 3));
  // One byte where CP932 has no form.
  EXPECT_EQ(platform::Cp932(L"Zo\u00EB").size(), 3u);
}
