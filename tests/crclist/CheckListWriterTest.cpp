#include <gtest/gtest.h>

#include "Lists.h"
#include "Workspace.h"
#include "lists/CheckListWriter.h"

namespace {

// The CP932 forms of the awkward names.
const std::string kSoftware = "\x83\x5C\x83\x74\x83\x67";  // ソフト: 0x5C as a trail byte
const std::string kHalfWidth = "\xB1\xB2\xB3";  // ｱｲｳ: single bytes that end a word

}  // namespace

TEST(CheckListWriter, QuotesExactlyWhereTheTokenizerNeedsIt) {
  const std::pair<std::string, std::string> cases[] = {
      {"setup.exe", "setup.exe"},
      {"stage\\map01.dat", "stage\\map01.dat"},
      {kSoftware + ".txt", kSoftware + ".txt"},
      {"GAME", "GAME"},
      {"_1", "_1"},
      {"read me.txt", "\"read me.txt\""},
      {".hidden", "\".hidden\""},
      {"\\lead", "\"\\lead\""},
      {kHalfWidth + ".bin", "\"" + kHalfWidth + ".bin\""},
      {"a" + kHalfWidth, "\"a" + kHalfWidth + "\""},
      {"a:b", "\"a:b\""},
      {"x[1]", "\"x[1]\""},
      {"a,b", "\"a,b\""},
      {"it's", "\"it's\""},
      {"say \"hi\"", "'say \"hi\"'"},
      {"", "\"\""},
  };
  for (const auto& [value, expected] : cases) {
    std::string written;
    EXPECT_TRUE(check_list_writer::FormatValue(value, written)) << value;
    EXPECT_EQ(written, expected);
  }
}

TEST(CheckListWriter, RefusesValuesThatNoFormCarries) {
  const std::string cases[] = {
      "both \" and '",
      "\x80x",  // taken for a lead byte, no CP932 character
      "x\xA0",
      "\xFD\x40",
      "cut\x81",     // a lead byte without its second byte
      "\x81 space",  // ... or with one that is none
      std::string("nul\0byte", 8),
  };
  for (const std::string& value : cases) {
    std::string written = "untouched";
    EXPECT_FALSE(check_list_writer::FormatValue(value, written)) << value;
    EXPECT_EQ(written, "untouched");
  }
}

// The loader reads every member back byte for byte from what the writer wrote.
TEST(CheckListWriter, WritesAListThatLoadsBackMemberForMember) {
  CheckList list;
  list.title = "\x83\x54\x83\x93\x83\x76\x83\x8B Demo";  // サンプル Demo
  list.gameKey = "Software\\Maker\\Game";
  list.regFiles = {{"Exe Path", 100, 0xAB}, {"GAME", 0, 0}};
  list.cdFiles = {{"read me.txt", 12, 0x1F2E3D4C},
                  {kSoftware + "\\" + kHalfWidth + ".dat", -1, 0xFFFFFFFF},
                  {".hidden", 2147483647, 0x80000000},
                  {"say \"hi\"", -2147483647 - 1, 1}};
  list.gameDataFiles = {{"stage\\map01.dat", 5000, 0x27F43080}};
  list.messageLines = {"first line", "", ":", "[x]", "it's"};
  list.driveInfo = {"prompt, please"};

  std::string text;
  std::string unwritable;
  ASSERT_TRUE(check_list_writer::Write(list, text, unwritable));
  EXPECT_EQ(text.substr(0, 7), "[TITLE]");
  EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
  for (std::size_t i = text.find('\n'); i != std::string::npos; i = text.find('\n', i + 1)) {
    EXPECT_EQ(text[i - 1], '\r') << "a bare line feed at " << i;
  }

  Workspace workspace;
  CheckList loaded;
  ASSERT_TRUE(LoadList(workspace.Write("crclist.INF", text), loaded));
  EXPECT_EQ(Describe(loaded), Describe(list));
}

TEST(CheckListWriter, NamesTheFirstValueItCannotWrite) {
  CheckList list;
  list.title = "fine";
  list.cdFiles = {{"ok.bin", 1, 1}, {"both \" and '", 2, 2}};
  std::string text = "untouched";
  std::string unwritable;
  EXPECT_FALSE(check_list_writer::Write(list, text, unwritable));
  EXPECT_EQ(unwritable, "both \" and '");
  EXPECT_EQ(text, "untouched");
}
