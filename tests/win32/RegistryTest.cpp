#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "WineTestSupport.h"
#include "checker/Checker.h"

namespace {

const char kTestKey[] = "Software\\DisksentryTest\\Game";

// The game's values, written by the test itself and removed again.
class GameKey {
 public:
  GameKey() { RegCreateKeyA(HKEY_CURRENT_USER, kTestKey, &key); }
  ~GameKey() {
    RegCloseKey(key);
    RegDeleteKeyA(HKEY_CURRENT_USER, kTestKey);
  }
  void Set(const char* name, DWORD type, const std::string& data) {
    RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()), static_cast<DWORD>(data.size()));
  }

 private:
  HKEY key = nullptr;
};

}  // namespace

TEST(Registry, TellsWhetherTheGameKeyExists) {
  GameKey game;
  EXPECT_TRUE(TheChecker().RegistryKeyExists(kTestKey));
  EXPECT_FALSE(TheChecker().RegistryKeyExists("Software\\DisksentryTest\\Absent"));
  // An empty key path names the root itself.
  EXPECT_TRUE(TheChecker().RegistryKeyExists(""));
}

TEST(Registry, ReadsAPathOverABufferOfZeroCharacters) {
  GameKey game;
  game.Set("Terminated", REG_SZ, std::string("C:\\game\\a.bin\0", 14));
  game.Set("Unterminated", REG_BINARY, "C:\\game\\b.bin");
  game.Set("Fits", REG_SZ, std::string(511, 'x') + '\0');
  game.Set("TooLong", REG_SZ, std::string(512, 'x') + '\0');
  game.Set("Number", REG_DWORD, std::string("\x01\x02\x03\x04", 4));

  struct Case {
    const char* value;
    bool read;
    std::string path;
  };
  const Case cases[] = {
      {"Terminated", true, "C:\\game\\a.bin"},
      {"Unterminated", true, "C:\\game\\b.bin" + std::string(512 - 13, '0')},
      {"Fits", true, std::string(511, 'x')},
      {"TooLong", false, ""},
      {"Number", true, "\x01\x02\x03\x04" + std::string(508, '0')},
      {"Missing", false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    char buffer[Checker::kPathBufferSize + 1];
    EXPECT_EQ(TheChecker().ReadRegistryString(c.value, kTestKey, buffer), c.read);
    if (c.read) {
      EXPECT_EQ(std::string(buffer), c.path);
    }
  }
}
