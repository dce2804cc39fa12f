#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "WineTestSupport.h"
#include "checker/Checker.h"

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
  // Exactly the text's characters: the system adds a NUL that was left out of the count when one
  // follows the data in memory, so a guard character follows it instead.
  void SetString(const wchar_t* name, const std::wstring& text) {
    const std::wstring guarded = text + L'#';
    Set(name, REG_SZ, guarded.data(), text.size() * sizeof(wchar_t));
  }

 private:
  HKEY key = nullptr;
};

}  // namespace

TEST(Registry, TellsWhetherTheGameKeyExists) {
  GameKey game;
  EXPECT_TRUE(TheChecker().RegistryKeyExists(kTestKeyCp932));
  EXPECT_FALSE(TheChecker().RegistryKeyExists("Software\\DisksentryTest\\Absent"));
  // An empty key path names the root itself.
  EXPECT_TRUE(TheChecker().RegistryKeyExists(""));
}

// The path is what a Japanese system's A functions leave in a buffer of 512 '0' characters, in
// the value's own letters: a string is measured by its CP932 length, NUL included when stored.
TEST(Registry, ReadsAPathOverABufferOfZeroCharacters) {
  const std::wstring hyo(256, L'\u8868');  // 表, two bytes in CP932
  GameKey game;
  game.SetString(L"Terminated", std::wstring(L"C:\\game\\a.bin\0", 14));
  game.SetString(L"Unterminated", L"C:\\game\\b.bin");
  game.Set(L"Bytes", REG_BINARY, "C:\\game\\c.bin", 13);
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
  };
  const Case cases[] = {
      {"Terminated", true, L"C:\\game\\a.bin"},
      {"Unterminated", true, L"C:\\game\\b.bin" + std::wstring(512 - 13, L'0')},
      {"Bytes", true, L"C:\\game\\c.bin" + std::wstring(512 - 13, L'0')},
      {"Fits", true, std::wstring(511, L'x')},
      {"TooLong", false, L""},
      {"FitsInCp932", true, hyo},
      {"TooLongInCp932", false, L""},
      {"OutsideCp932", true, L"C:\\Users\\Zo\u00EB\\exe.bin"},
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
  }
}
