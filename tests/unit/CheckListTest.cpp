#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "TestFiles.h"
#include "checklist/CheckList.h"
#include "checklist/LoadObserver.h"
#include "texts/Texts.h"

namespace {

std::string Describe(const std::vector<FileEntry>& entries) {
  std::string text;
  for (const FileEntry& entry : entries) {
    char crc[16];
    std::snprintf(crc, sizeof crc, "%08X", entry.crc);
    text += "(" + entry.name + " " + std::to_string(entry.size) + " " + crc + ")";
  }
  return text;
}

std::string Describe(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += "(" + line + ")";
  return text;
}

// All seven members in one line; empty members are left out.
std::string Describe(const CheckList& list) {
  const std::pair<const char*, std::string> members[] = {
      {"title", list.title.empty() ? "" : "(" + list.title + ")"},
      {"game", list.gameKey.empty() ? "" : "(" + list.gameKey + ")"},
      {"reg", Describe(list.regFiles)},
      {"cd", Describe(list.cdFiles)},
      {"data", Describe(list.gameDataFiles)},
      {"message", Describe(list.messageLines)},
      {"drive", Describe(list.driveInfo)},
  };
  std::string text;
  for (const auto& [name, value] : members) {
    if (!value.empty()) text += std::string(text.empty() ? "" : " ") + name + value;
  }
  return text;
}

struct Loaded {
  bool ok;
  std::string members;
};

Loaded LoadText(const std::string& bytes) {
  TempFolder folder;
  CheckList list;
  const bool ok = list.Load(folder.Write("crclist.INF", bytes).c_str());
  return {ok, Describe(list)};
}

struct LoadCase {
  const char* what;
  std::string input;
  bool ok;
  std::string members;
};

void ExpectLoads(const std::vector<LoadCase>& cases) {
  for (const LoadCase& loadCase : cases) {
    SCOPED_TRACE(loadCase.what);
    const Loaded loaded = LoadText(loadCase.input);
    EXPECT_EQ(loaded.ok, loadCase.ok);
    EXPECT_EQ(loaded.members, loadCase.members);
  }
}

const char kFullList[] =
    "[TITLE]\n\"Sample Game\"\n"
    "[GAME]\nSoftware\\Maker\\Game\n"
    "[REG]\nExePath,100,0xAB\n"
    "[CDFILES]\nsetup.exe,2048,1f2e3d4c\n\"read me.txt\",12,0X0\n"
    "[GAMEDATA]\nstage\\map01.dat,4096,DEADBEEF\n"
    "[MESSAGE]\nfirst\n\"second line\"\n"
    "[DRIVEINFO]\nprompt\n";

const char kFullMembers[] =
    "title(Sample Game) game(Software\\Maker\\Game) reg(ExePath 100 000000AB) "
    "cd(setup.exe 2048 1F2E3D4C)(read me.txt 12 00000000) data(stage\\map01.dat 4096 DEADBEEF) "
    "message(first)(second line) drive(prompt)";

std::string WithLineEnds(std::string text, const std::string& lineEnd) {
  std::string result;
  for (const char byte : text) result += byte == '\n' ? lineEnd : std::string(1, byte);
  return result;
}

}  // namespace

TEST(CheckList, ReadsEverySectionWhateverTheLineEnds) {
  for (const char* lineEnd : {"\n", "\r\n", "\r"}) {
    SCOPED_TRACE(std::string(lineEnd).size());
    const Loaded loaded = LoadText(WithLineEnds(kFullList, lineEnd));
    EXPECT_TRUE(loaded.ok);
    EXPECT_EQ(loaded.members, kFullMembers);
  }
}

TEST(CheckList, ReadsHeadersAndEntriesLaidOutFreely) {
  ExpectLoads({
      {"spaces inside a header", "[ CDFILES ]\na,1,2\n", true, "cd(a 1 00000002)"},
      {"a header over three lines", "[\nCDFILES\n]\na,1,2\n", true, "cd(a 1 00000002)"},
      {"a lower-case name is no section", "[cdfiles]\na,1,2\n[TITLE]\nT\n", true, "title(T)"},
      {"an entry over three lines", "[CDFILES]\na,\n1,\n2\n", true, "cd(a 1 00000002)"},
      {"two entries on a line", "[CDFILES]\na,1,2 b,3,4\n", true, "cd(a 1 00000002)(b 3 00000004)"},
      {"a quoted name with spaces", "[CDFILES]\n\"my file.bin\",1,2\n", true, "cd(my file.bin 1 00000002)"},
      {"an unquoted name with spaces", "[CDFILES]\nmy file.bin,1,2\n", false, ""},
      {"a keyword as a name", "[CDFILES]\nGAME,1,2\n", true, "cd(GAME 1 00000002)"},
      {"trail byte 0x5C in a name", "[CDFILES]\n\x83\x5C\x83\x74\x83\x67\\a.txt,1,2\n", true,
       "cd(\x83\x5C\x83\x74\x83\x67\\a.txt 1 00000002)"},
      {"trail byte 0x5B in a name", "[CDFILES]\n\x83\x5B.bin,1,2\n", true, "cd(\x83\x5B.bin 1 00000002)"},
      {"repeated sections append and replace", "[TITLE]\nA B\n[REG]\nx,1,1\n[TITLE]\nC\n[REG]\ny,2,2\n",
       true, "title(C) reg(x 1 00000001)(y 2 00000002)"},
      {"a comma in a message repeats the line before", "[MESSAGE]\nA\n,\nB\n", true, "message(A)(A)(B)"},
      {"an empty message body", "[MESSAGE]\n[DRIVEINFO]\nd\n", true, "drive(d)"},
      {"only entries", "[CDFILES]\na,1,2\n", true, "cd(a 1 00000002)"},
      {"white space only", " \r\n\t\r\n", true, ""},
      {"a '[' with no name at the end", "[TITLE]\nT\n[", true, "title(T)"},
  });
}

TEST(CheckList, ReadsSizesAndCrcsAsTheirNumbers) {
  ExpectLoads({
      {"leading zeros", "[CDFILES]\na,0012,2\n", true, "cd(a 12 00000002)"},
      {"trailing letters", "[CDFILES]\na,12kb,2\n", true, "cd(a 12 00000002)"},
      {"letters only", "[CDFILES]\na,kb,2\n", true, "cd(a 0 00000002)"},
      {"the largest 32-bit size", "[CDFILES]\na,4294967295,2\n", true, "cd(a -1 00000002)"},
      {"2^32 wraps to 0", "[CDFILES]\na,4294967296,2\n", true, "cd(a 0 00000002)"},
      {"a quoted negative size", "[CDFILES]\na,\"-1\",2\n", true, "cd(a -1 00000002)"},
      {"crc with 0x", "[CDFILES]\na,1,0xcbf43926\n", true, "cd(a 1 CBF43926)"},
      {"crc with 0X and upper case", "[CDFILES]\na,1,0XCBF43926\n", true, "cd(a 1 CBF43926)"},
      {"crc without prefix", "[CDFILES]\na,1,cbF43926\n", true, "cd(a 1 CBF43926)"},
      {"crc keeps its low 32 bits", "[CDFILES]\na,1,0x1234CBF43926\n", true, "cd(a 1 CBF43926)"},
      {"crc with trailing letters", "[CDFILES]\na,1,12zz\n", true, "cd(a 1 00000012)"},
      {"crc 0x alone reads as 0", "[CDFILES]\na,1,0x\n", true, "cd(a 1 00000000)"},
      {"a quoted negative crc", "[CDFILES]\na,1,\"-1\"\n", true, "cd(a 1 FFFFFFFF)"},
  });
}

TEST(CheckList, ACrcWithoutAHexDigitFailsEachEntrySectionKeepingEarlierEntries) {
  const char* sections[] = {"REG", "CDFILES", "GAMEDATA"};
  const char* members[] = {"reg", "cd", "data"};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(sections[i]);
    const Loaded loaded =
        LoadText("[TITLE]\nT\n[" + std::string(sections[i]) + "]\na,1,2\nb,3,zz\nc,5,6\n");
    EXPECT_FALSE(loaded.ok);
    EXPECT_EQ(loaded.members, "title(T) " + std::string(members[i]) + "(a 1 00000002)");
  }
}

TEST(CheckList, FailsOnBrokenHeadersAndEntries) {
  ExpectLoads({
      {"a header without ']'", "[TITLE x\n", false, ""},
      {"a header cut by the end", "[TITLE\n", false, ""},
      {"a header name dropped at the end", "[TITLE", true, ""},
      {"a missing first comma", "[CDFILES]\na 1,2\n", false, ""},
      {"a missing second comma", "[CDFILES]\na,1 2\n", false, ""},
      {"the end after the second comma", "[CDFILES]\na,1,", false, ""},
      {"the crc dropped at the end", "[CDFILES]\na,1,2", false, ""},
      {"the end before the first comma", "[CDFILES]\nx,1,2\na\n", false, "cd(x 1 00000002)"},
      {"a zero-byte file", "", false, ""},
  });
}

// A 0xFF byte ends the input. Behind it only more 0xFF bytes and white space may follow, the
// padding of lists in the field; anything else means the list was not read whole.
TEST(CheckList, StopsAtTheEndOfTheInput) {
  MessageRecorder messages;
  ExpectLoads({
      {"a dropped last title", "[TITLE]\nA\nB", true, "title(A)"},
      {"a dropped last message line", "[MESSAGE]\nA\nB", true, "message(A)"},
      {"0xFF between entries", "[CDFILES]\na,1,2\n\xFF\nb,3,4\n", false, "cd(a 1 00000002)"},
      {"0xFF before a lone byte", "[CDFILES]\na,1,2\n\xFF\n:", false, "cd(a 1 00000002)"},
      {"0xFF where a size stands", "[CDFILES]\na,1,2\nb,\xFF,4\n", false, "cd(a 1 00000002)"},
      {"0xFF padding after the last entry", "[CDFILES]\na,1,2\r\n\xFF\xFF\r\n\xFF \xFF\t", true,
       "cd(a 1 00000002)"},
      {"0xFF as the last byte", "[CDFILES]\na,1,2\n\xFF", true, "cd(a 1 00000002)"},
      {"a word cut by 0xFF padding", "[TITLE]\nA\nB\xFF\xFF\n", true, "title(A)"},
      {"a word cut by 0xFF with more behind", "[TITLE]\nA\nB\xFF C\n", false, "title(A)"},
      {"a quote cut by 0xFF padding", "[MESSAGE]\nA\n'B\xFF\xFF\n", true, "message(A)(')"},
      {"a quote cut by 0xFF with more behind", "[MESSAGE]\nA\n'B\xFF\nC\n", false, "message(A)(')"},
      {"0xFF as a trail byte", "[TITLE]\n\x81\xFF\n[DRIVEINFO]\nD\n", true, "title(\x81\xFF) drive(D)"},
  });
}

TEST(CheckList, SkipsWhatStandsOutsideTheKnownSections) {
  ExpectLoads({
      {"tokens before the first header", "\xEF\xBB\xBF junk, 1 [TITLE]\nT\n", true, "title(T)"},
      {"an unknown header's body", "[FOO]\na,b,c\n[TITLE]\nT\n", true, "title(T)"},
      {"a punctuation header", "[,]\nx\n[TITLE]\nT\n", true, "title(T)"},
      {"an empty header", "[]\n[TITLE]\nT\n", true, "title(T)"},
      {"a '[' as a name opens the next header", "[[TITLE]\nT\n", true, "title(T)"},
  });
}

TEST(CheckList, GivesUpAfterAThousandUnknownHeaders) {
  std::string thousand;
  for (int i = 0; i < 1000; ++i) thousand += "[X]\n";
  EXPECT_EQ(LoadText(thousand + "[TITLE]\nT\n").ok, true);
  EXPECT_EQ(LoadText(thousand + "[X]\n[TITLE]\nT\n").ok, false);
  EXPECT_EQ(LoadText(thousand + "[").ok, true);
  std::string brackets(1002, '[');
  EXPECT_EQ(LoadText(brackets + "\n").ok, false);
}

TEST(CheckList, AnInvalidByteIsAValueAfterItsBox) {
  MessageRecorder messages;
  const Loaded loaded = LoadText("[MESSAGE]\nA\n:\nB\n");
  EXPECT_TRUE(loaded.ok);
  EXPECT_EQ(loaded.members, "message(A)(:)(B)");
  EXPECT_EQ(messages.Messages(), std::vector<std::string>{std::string(":,1,") + texts::kInvalidToken});

  const Loaded broken = LoadText("[CDFILES]\na:b,1,2\n");
  EXPECT_FALSE(broken.ok);
}

TEST(CheckList, AMissingFileLeavesTheMembersEmpty) {
  TempFolder folder;
  CheckList list;
  EXPECT_FALSE(list.Load(folder.PathOf("crclist.INF").c_str()));
  EXPECT_EQ(Describe(list), "");
}

TEST(CheckList, LoadsTheSampleDisc) {
  CheckList list;
  ASSERT_TRUE(list.Load(SampleDiscPath("crclist.INF").c_str()));
  EXPECT_FALSE(list.title.empty());
  EXPECT_FALSE(list.gameKey.empty());
  EXPECT_EQ(list.regFiles.size(), 2u);
  EXPECT_EQ(list.cdFiles.size(), 3u);
  EXPECT_EQ(list.gameDataFiles.size(), 2u);
  EXPECT_EQ(list.messageLines.size(), 2u);
  EXPECT_EQ(list.driveInfo.size(), 1u);
}

// Every invalid byte has its box; a million of them cost memory for what was read, nothing more.
TEST(CheckList, ReadsAMillionInvalidBytes) {
  MessageRecorder messages;
  const Loaded outside = LoadText(std::string(1000000, '#') + "\n[TITLE]\nT\n");
  EXPECT_TRUE(outside.ok);
  EXPECT_EQ(outside.members, "title(T)");
  EXPECT_EQ(messages.Messages().size(), 1000000u);

  TempFolder folder;
  CheckList list;
  EXPECT_TRUE(list.Load(folder.Write("crclist.INF", "[MESSAGE]\n" + std::string(1000000, ':') + "\n").c_str()));
  EXPECT_EQ(list.messageLines.size(), 1000000u);
  EXPECT_EQ(messages.Messages().size(), 2000000u);
}

namespace {

// The loader's events, one a line, with the offset each one is about.
class EventLog : public LoadObserver {
 public:
  std::string events;

 private:
  void OutsideSection(const TokenPlace& place) override { Add("outside", place.begin); }
  void UnknownSection(const Token& name, const TokenPlace& place) override {
    Add("unknown " + name.text, place.begin);
  }
  void SectionStarted(TokenCode section) override {
    Add("section " + std::to_string(static_cast<int>(section)), 0);
  }
  void ValueRead(TokenCode, const Token& value, const TokenPlace& place) override {
    Add("value " + value.text, place.begin);
  }
  void FieldRead(EntryField field, const Token& token, const TokenPlace& place) override {
    Add("field " + std::to_string(static_cast<int>(field)) + " " + token.text, place.begin);
  }
  void EntryRead(TokenCode, const FileEntry& entry) override { Add("entry " + entry.name, 0); }
  void LoadFailed(LoadFailure failure, const Token& subject, const Token&,
                  const TokenPlace& place) override {
    Add("failed " + std::to_string(static_cast<int>(failure)) + " " + subject.text, place.begin);
  }
  void Add(const std::string& event, std::uint32_t offset) {
    events += event + " @" + std::to_string(offset) + "\n";
  }
};

}  // namespace

// What lint reports comes from these events: they must tell each step where it stands.
TEST(CheckList, TellsTheObserverWhatItMakesOfEachToken) {
  struct Case {
    const char* what;
    std::string bytes;
    bool loads;
    std::string events;
  };
  const Case cases[] = {
      {"a value and an entry", "[TITLE] T\n[CDFILES]\na,1,f\n", true,
       "section 4 @0\nvalue T @8\nsection 7 @0\nfield 0 a @20\nfield 1 1 @22\n"
       "field 2 f @24\nentry a @0\n"},
      {"skipped tokens", "x [Y] z\n[\n", true,
       "outside @0\nunknown Y @3\nunknown z @10\n"},
      {"an entry without its crc", "[REG]\na,1,\n", false,
       "section 6 @0\nfield 0 a @6\nfield 1 1 @8\nfailed 5 a @11\n"},
      {"a crc without a digit", "[GAMEDATA]\na,1,zz\n", false,
       "section 8 @0\nfield 0 a @11\nfield 1 1 @13\nfield 2 zz @15\nfailed 6 a @15\n"},
      {"a header without its bracket", "[GAME x\n", false, "failed 1 GAME @6\n"},
      {"a list cut short by 0xFF", "[TITLE] T\n\xFF[GAME] G\n", false,
       "section 4 @0\nvalue T @8\nfailed 8  @10\n"},
      {"no bytes at all", "", false, "failed 0  @0\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CheckList list;
    EventLog log;
    EXPECT_EQ(list.LoadBytes(c.bytes, &log), c.loads);
    EXPECT_EQ(log.events, c.events);
  }
}

TEST(CheckList, LoadsBytesAsItLoadsTheirFile) {
  TempFolder folder;
  const std::string bytes = "[TITLE]\r\nT\r\n[CDFILES]\r\na.bin,12,0x1F\r\n[DRIVEINFO]\r\nD\r\n";
  CheckList fromFile;
  CheckList fromBytes;
  ASSERT_TRUE(fromFile.Load(folder.Write("crclist.INF", bytes).c_str()));
  ASSERT_TRUE(fromBytes.LoadBytes(bytes));
  EXPECT_EQ(Describe(fromBytes), Describe(fromFile));
}
