#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>

#include "WineTestSupport.h"
#include "checker/Checker.h"
#include "platform/WideText.h"

namespace {

// ゲーム, whose CP932 form the check list gives.
const wchar_t kTestKey[] = L"Software\\DisksentryTest\\\u30B2\u30FC\u30E0";
const char kTestKeyCp932[] = "Software\\DisksentryTest\\\x83Q\x81[\x83\x80";

// The game's values, written by the test itself and removed again.
class GameKey {
 public:
  GameKey() { RegCreateKeyW(HKEY_CURRENT_USER, kTestKey, &key); }
  ~GameKey() {
    RegCloseKey(key);
    RegDeleteKeyW(HKEY_CURRENT_USER, kTestKey);
  }
  void Set(const wchar_t* name, DWORD type, const void* data, std::size_t size) {
    RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), static_cast<DWORD>(size));
  }
  // The text's characters, or as many of its bytes as given: the system adds a NUL that was left
  // out of the count when one follows the data in memory, so a guard character follows instead.
  void SetString(const wchar_t* name, const std::wstring& text, DWORD type = REG_SZ,
                 std::size_t bytes = std::wstring::npos) {
    const std::wstring guarded = text + L'#';
    Set(name, type, guarded.data(),
        bytes == std::wstring::npos ? text.size() * sizeof(wchar_t) : bytes);
  }

 private:
  HKEY key = nullptr;
};

// What RegQueryValueExA leaves in the buffer of 512 '0' characters with a NUL behind it, decoded
// as the program decodes it; false when the query fails.
bool ReadThroughA(const char* value, std::wstring& path) {
  HKEY key = nullptr;
  if (RegOpenKeyA(HKEY_CURRENT_USER, kTestKeyCp932, &key) != ERROR_SUCCESS) return false;
  char buffer[Checker::kPathBufferSize + 1];
  std::fill(buffer, buffer + Checker::kPathBufferSize, '0');
  buffer[Checker::kPathBufferSize] = '\0';
  DWORD size = Checker::kPathBufferSize;
  const bool read = RegQueryValueExA(key, value, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer),
                                     &size) == ERROR_SUCCESS;
  RegCloseKey(key);
  path = platform::Wide(buffer);
  return read;
}

}  // namespace

TEST(Registry, TellsWhetherTheGameKeyExists) {
  GameKey game;
  EXPECT_TRUE(TheChecker().RegistryKeyExists(kTestKeyCp932));
  EXPECT_FALSE(TheChecker().RegistryKeyExists("Software\\DisksentryTest\\Absent"));
  // An empty key path names the root itself.
  EXPECT_TRUE(TheChecker().RegistryKeyExists(""));
}

// The path is what a Japanese system's A functions leave in a buffer of 512 '0' characters, in
// the value's own letters: a string is measured by its CP932 length, NULs included, and ends at
// its first NUL, which the A function appends where the data has none and the buffer has room;
// other types are their bytes, with the fill behind them.
TEST(Registry, ReadsAPathOverABufferOfZeroCharacters) {
  const std::wstring hyo(256, L'\u8868');  // 表, two bytes in CP932
  GameKey game;
  game.SetString(L"Terminated", std::wstring(L"C:\\game\\a.bin\0", 14));
  game.SetString(L"Unterminated", L"C:\\game\\b.bin");
  game.SetString(L"Unterminated511", std::wstring(511, L'x'));
  game.SetString(L"Unterminated512", std::wstring(512, L'x'));
  game.SetString(L"Expandable", L"%WINDIR%\\b.bin", REG_EXPAND_SZ);
  game.SetString(L"Several", std::wstring(L"C:\\game\\a.bin\0C:\\game\\b.bin\0\0", 29),
                 REG_MULTI_SZ);
  game.SetString(L"SeveralUnterminated", std::wstring(L"C:\\game\\a.bin\0b", 15), REG_MULTI_SZ);
  // The odd byte is the low half of the guard, which is no whole character.
  game.SetString(L"OddLength", L"C:\\game\\d.bin", REG_SZ, 27);
  game.SetString(L"DataAfterNul", std::wstring(L"C:\\game\\a.bin\0C:\\x", 18));
  game.SetString(L"Empty", L"");
  game.SetString(L"HalfACharacter", L"C", REG_SZ, 1);
  game.Set(L"Bytes", REG_BINARY, "C:\\game\\c.bin", 13);
  game.Set(L"Bytes512", REG_BINARY, std::string(512, 'b').data(), 512);
  game.Set(L"Bytes513", REG_BINARY, std::string(513, 'b').data(), 513);
  game.SetString(L"Fits", std::wstring(511, L'x') + L'\0');
  game.SetString(L"TooLong", std::wstring(512, L'x') + L'\0');
  game.SetString(L"FitsInCp932", hyo);
  game.SetString(L"TooLongInCp932", hyo + L'\0');
  game.SetString(L"OutsideCp932", std::wstring(L"C:\\Users\\Zo\u00EB\\exe.bin\0", 24));
  game.SetString(L"\u8868", std::wstring(L"C:\\\u8868.bin\0", 10));
  game.Set(L"Number", REG_DWORD, "\x01\x02\x03\x04", 4);

  struct Case {
    const char* value;  // CP932, as the check list names it
    bool read;
    std::wstring path;
    // As RegQueryValueExA reads it under code page 932, where the value has no letter outside it.
    bool likeA = true;
  };
  const Case cases[] = {
      {"Terminated", true, L"C:\\game\\a.bin"},
      {"Unterminated", true, L"C:\\game\\b.bin"},
      {"Unterminated511", true, std::wstring(511, L'x')},
      {"Unterminated512", true, std::wstring(512, L'x')},
      {"Expandable", true, L"%WINDIR%\\b.bin"},
      {"Several", true, L"C:\\game\\a.bin"},
      {"SeveralUnterminated", true, L"C:\\game\\a.bin"},
      {"OddLength", true, L"C:\\game\\d.bin"},
      {"DataAfterNul", true, L"C:\\game\\a.bin"},
      {"Empty", true, std::wstring(512, L'0')},
      {"HalfACharacter", true, std::wstring(512, L'0')},
      {"Bytes", true, L"C:\\game\\c.bin" + std::wstring(512 - 13, L'0')},
      {"Bytes512", true, std::wstring(512, L'b')},
      {"Bytes513", false, L""},
      {"Fits", true, std::wstring(511, L'x')},
      {"TooLong", false, L""},
      {"FitsInCp932", true, hyo},
      {"TooLongInCp932", false, L""},
      {"OutsideCp932", true, L"C:\\Users\\Zo\u00EB\\exe.bin", false},
      {"\x95\\", true, L"C:\\\u8868.bin"},
      {"Number", true, L"\x01\x02\x03\x04" + std::wstring(508, L'0')},
      {"Missing", false, L""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    std::wstring path = L"stale";
    EXPECT_EQ(TheChecker().ReadRegistryString(c.value, kTestKeyCp932, path), c.read);
    if (c.read) {
      EXPECT_EQ(path, c.path);
    }
    std::wstring pathThroughA;
    if (GetACP() == 932 && c.likeA) {
      EXPECT_EQ(ReadThroughA(c.value, pathThroughA), c.read);
      if (c.read) {
        EXPECT_EQ(pathThroughA, c.path);
      }
    }
  }
}
