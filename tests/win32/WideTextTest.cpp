#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "../unit/TestFiles.h"
#include "platform/WideText.h"

namespace {

// Makes the folders on the way and the file, through the long-path form, which has no limit.
void CreateAt(const std::wstring& path) {
  for (std::size_t at = path.find(L'\\', 3); at != std::wstring::npos;
       at = path.find(L'\\', at + 1)) {
    CreateDirectoryW((L"\\\\?\\" + path.substr(0, at)).c_str(), nullptr);
  }
  const HANDLE file = CreateFileW((L"\\\\?\\" + path).c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << GetLastError();
  CloseHandle(file);
}

}  // namespace

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

// The same bytes through an A function on a Japanese system: SetWindowTextA read back with
// GetWindowTextW.
TEST(WideText, DecodesBytesThatAreNoCharacterAsAnAFunctionDoes) {
  if (GetACP() != 932) GTEST_SKIP() << "the A functions decode with code page " << GetACP();
  const HWND window =
      CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  struct Case {
    const char* what;
    const char* cp932;
  };
  const Case cases[] = {
      {"a lead byte before a space", "a\x81 z"},
      {"a lead byte before 0x3F", "a\x81\x3Fz"},
      {"a lead byte before 0x7F", "a\x81\x7Fz"},
      {"a lead byte before 0xFD", "a\x81\xFDz"},
      {"a lone final lead byte", "a\x81"},
      {"a lone final lead byte of the IBM rows", "a\xFC"},
      {"0x80", "a\x80z"},
      {"0xA0", "a\xA0z"},
      {"0xFD", "a\xFDz"},
      {"0xFE", "a\xFEz"},
      {"0xFF", "a\xFFz"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(SetWindowTextA(window, c.cp932));
    wchar_t shown[32];
    const int length = GetWindowTextW(window, shown, sizeof shown / sizeof shown[0]);
    EXPECT_EQ(platform::Wide(c.cp932), std::wstring(shown, static_cast<std::size_t>(length)));
  }
  DestroyWindow(window);
}

// Windows opens a path of fewer than MAX_PATH characters, however many CP932 bytes it takes, and
// refuses a longer one before it reaches the file system, for a path given in either form.
TEST(WideText, OpensPathsOfFewerThanMaxPathCharacters) {
  const TempFolder temp;
  const std::wstring folder = platform::Wide(temp.PathOf("").c_str());
  ASSERT_EQ(folder.back(), L'\\');
  ASSERT_LT(folder.size(), 200u);
  // 表 takes two CP932 bytes and three UTF-8 ones: two names, as a Linux name has 255 bytes.
  const std::size_t kanji = (300 - folder.size() - 1) / 2;
  const std::wstring wide = folder + std::wstring(kanji / 2, L'\u8868') + L'\\' +
                            std::wstring(kanji - kanji / 2, L'\u8868') +
                            std::wstring((300 - folder.size() - 1) % 2, L'x');
  ASSERT_EQ(platform::Cp932(wide).size(), 300u);
  struct Case {
    const char* what;
    std::wstring path;
    bool opens;
  };
  const Case cases[] = {
      {"259 characters", folder + std::wstring(259 - folder.size(), L'a'), true},
      {"260 characters", folder + std::wstring(260 - folder.size(), L'b'), false},
      {"300 CP932 bytes in fewer characters", wide, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CreateAt(c.path);
    for (const platform::FileHandle file :
         {platform::OpenForReading(c.path.c_str()),
          platform::OpenForReading(platform::Cp932(c.path).c_str())}) {
      EXPECT_EQ(file != platform::kNoFile, c.opens);
      if (file != platform::kNoFile) {
        platform::CloseFile(file);
      } else {
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE));
      }
    }
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
