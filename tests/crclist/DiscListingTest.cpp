#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "disc/listing/DiscListing.h"

// A Windows CD drive finds a name without regard to the case of its letters, compared as Unicode
// characters; the second byte of a CP932 character is no letter of its own.
TEST(DiscListing, FindsNamesAsAWindowsCdDriveDoes) {
  struct Case {
    const char* listed;
    const char* onDisc;
    bool found;
  };
  const std::vector<Case> cases = {
      {"setup.dat", "SETUP.DAT", true},
      {"gamedata\\Stage\\map01.dat", "GAMEDATA\\STAGE\\MAP01.DAT", true},
      {"\x82\x81\x82\x82.txt", "\x82\x60\x82\x61.txt", true},  // "ａｂ" and "ＡＢ"
      {"\x83\xBF", "\x83\x9F", true},                          // Greek "α" and "Α"
      {"\x84\x74\x84\x76", "\x84\x44\x84\x46", true},          // Cyrillic "дё" and "ДЁ"
      {"\xEE\xEF.bin", "\x87\x54.bin", true},                  // "ⅰ" (NEC's IBM row) and "Ⅰ"
      {"\xEE\xEF.bin", "\xFA\x40.bin", true},                  // "ⅰ" in NEC's and IBM's rows
      {"\x83\x41.bin", "\x83\x61.bin", false},                 // "ア" and "ヂ": 41 and 61 are trail bytes
      {"\x83\x5C\\a.bin", "\x83\x5C\\A.BIN", true},            // "ソ" ends in 0x5C
      {"setup.dat", "setup.dat.bak", false},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.listed);
    const DiscListing listing({{test.onDisc, 1}});
    const DiscEntry* found = listing.Find(test.listed);
    EXPECT_EQ(found != nullptr, test.found);
    if (found != nullptr) {
      EXPECT_EQ(found->name, test.onDisc);
    }
  }
}

TEST(DiscListing, PrefersTheNameOfExactlyTheSameBytes) {
  const DiscListing listing({{"README.TXT", 1}, {"readme.txt", 2}, {"ReadMe.txt", 3}});
  EXPECT_EQ(listing.Find("readme.txt")->size, 2u);
  EXPECT_EQ(listing.Find("ReadMe.txt")->size, 3u);
  EXPECT_EQ(listing.Find("README.txt")->size, 1u);
}
