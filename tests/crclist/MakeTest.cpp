#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "Lists.h"
#include "RunCrclist.h"
#include "Workspace.h"
#include "commands/CommandLine.h"
#include "platform/Platform.h"
#include "verify/Crc32.h"

namespace {

std::string Cp932(const std::string& utf8) {
  std::string cp932;
  EXPECT_TRUE(platform::Utf8ToCp932(utf8, cp932)) << utf8;
  return cp932;
}

FileEntry EntryFor(const std::string& listName, const std::string& bytes) {
  return {Cp932(listName), static_cast<std::int32_t>(bytes.size()),
          Crc32::Of(bytes.data(), bytes.size())};
}

struct DiscFileCase {
  std::string path;      // on disk, UTF-8
  std::string listName;  // in the check list, UTF-8
};

// Names that need quotes, end a word, or carry 0x5C as a trail byte, in the order the list sorts
// their CP932 bytes.
const std::vector<DiscFileCase> kCdFiles = {
    {".hidden", ".hidden"},
    {"it's.txt", "it's.txt"},
    {"read me.txt", "read me.txt"},
    {"ソフト説明.txt", "ソフト説明.txt"},
    {"日本語/データ.bin", "日本語\\データ.bin"},
    {"ｱｲｳ.bin", "ｱｲｳ.bin"},
};
const std::vector<DiscFileCase> kGameDataFiles = {
    {"gamedata/stage/map 01.dat", "stage\\map 01.dat"},
    {"gamedata/ｶﾅ/ソ.bin", "ｶﾅ\\ソ.bin"},
};

// A disc with those files, each with bytes of its own, and the list that should be made of it.
CheckList WriteAwkwardDisc(const Workspace& disc) {
  CheckList expected;
  for (const auto* files : {&kCdFiles, &kGameDataFiles}) {
    for (const DiscFileCase& file : *files) {
      const std::string bytes =
          "contents of " + file.path + std::string(file.path.size() * 100, 'x');
      disc.Write(file.path, bytes);
      (files == &kCdFiles ? expected.cdFiles : expected.gameDataFiles)
          .push_back(EntryFor(file.listName, bytes));
    }
  }
  return expected;
}

}  // namespace

TEST(Make, ReproducesTheSampleDiscsList) {
  Workspace workspace;
  const std::string messages = workspace.Write("message.txt",
                                               "ディスクとインストールされたファイルが壊れていない"
                                               "かを調べます。\r\n調べる方を選んでください。\r\n");
  const std::string made = workspace.Path("crclist.INF");
  const Outcome outcome = RunCrclist(
      {"make", SampleDisc(), "--title", "サンプルゲーム 体験版", "--game",
       "Software\\DisksentrySample\\SampleGame", "--reg",
       "DataFile=" + SampleDisc("gamedata/data1.bin"), "--reg",
       "MapFile=" + SampleDisc("gamedata/stage/map01.dat"), "--message-file", messages,
       "--drive-info", "ゲームのディスクが入ったドライブを選んでください。", "-o", made});
  ASSERT_EQ(outcome.code, 0) << outcome.err;
  EXPECT_EQ(outcome.err, "");

  CheckList sample;
  CheckList remade;
  ASSERT_TRUE(LoadList(SampleDisc("crclist.INF"), sample));
  ASSERT_TRUE(LoadList(made, remade));
  EXPECT_EQ(Describe(remade), Describe(sample));
}

TEST(Make, ListsAwkwardNamesThatLoadBackByteForByte) {
  Workspace disc;
  CheckList expected = WriteAwkwardDisc(disc);
  expected.title = Cp932("タイトル");
  expected.driveInfo = {Cp932("ドライブを選んでください")};
  const Outcome outcome = RunCrclist(
      {"make", disc.Path(), "--title", "タイトル", "--drive-info", "ドライブを選んでください"});
  ASSERT_EQ(outcome.code, 0) << outcome.err;

  CheckList made;
  ASSERT_TRUE(LoadList(disc.Path("crclist.INF"), made));
  EXPECT_EQ(Describe(made), Describe(expected));
  const std::string text = disc.Read("crclist.INF");
  EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
}

// The list never names itself, whether it is the folder's crclist.INF or another output inside
// the folder, so making it again gives the same bytes.
TEST(Make, LeavesItsOwnListOutAndIsStable) {
  Workspace disc;
  disc.Write("b.bin", "b");
  disc.Write("a.bin", "a");
  ASSERT_EQ(RunCrclist({"make", disc.Path(), "--drive-info", "x"}).code, 0);
  const std::string first = disc.Read("crclist.INF");
  ASSERT_EQ(RunCrclist({"make", disc.Path(), "--drive-info", "x"}).code, 0);
  EXPECT_EQ(disc.Read("crclist.INF"), first);

  const std::string inside = disc.Path("lists/other.INF");
  disc.Write("lists/other.INF", "old");
  ASSERT_EQ(RunCrclist({"make", disc.Path(), "-o", inside, "--drive-info", "x"}).code, 0);
  EXPECT_EQ(disc.Read("lists/other.INF"), first);

  CheckList list;
  ASSERT_TRUE(LoadList(inside, list));
  EXPECT_EQ(list.cdFiles.size(), 2u);
  EXPECT_EQ(list.cdFiles[0].name, "a.bin");
}

TEST(Make, RefusesNamesThatAListCannotCarryAndWritesNothing) {
  std::vector<std::pair<std::string, std::string>> cases = {
      {"한국어.txt", "no CP932 form"},
      {"a〜b.txt", "a CP932 form only as \"～\", which reads back as another character"},
  };
#ifndef _WIN32
  cases.push_back({"say \"hi\" it's.txt", "both quote characters"});
  cases.push_back({"back\\slash.txt", "backslash"});
#endif
  for (const auto& [name, reason] : cases) {
    SCOPED_TRACE(name);
    Workspace disc;
    disc.Write("fine.txt", "fine");
    disc.Write("sub/" + name, "bytes");
    const Outcome outcome = RunCrclist({"make", disc.Path(), "--drive-info", "x"});
    EXPECT_EQ(outcome.code, 2);
    EXPECT_NE(outcome.err.find(name), std::string::npos) << outcome.err;
    EXPECT_NE(outcome.err.find(reason), std::string::npos) << outcome.err;
    EXPECT_FALSE(disc.Exists("crclist.INF"));
  }
}

// Each refusal comes before any file is read, and writes nothing.
TEST(Make, RefusesOptionsItCannotFollowAndListsTheProgramCannotUse) {
  Workspace workspace;
  const std::string disc = workspace.Path("disc");
  workspace.Write("disc/a.bin", "a");
  std::filesystem::create_directories(std::filesystem::u8path(workspace.Path("empty/gamedata")));
  const std::string copy = workspace.Write("a.bin", "a");
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"make", workspace.Path("absent"), "--drive-info", "x"}, "no such folder"},
      {{"make", disc, "--drive-info", "x", "--reg", "Exe=" + copy}, "--reg needs --game"},
      {{"make", disc, "--drive-info", "x", "--game", "K", "--reg", "Exe"}, "expected NAME=FILE"},
      {{"make", disc, "--drive-info", "x", "--game", "K", "--reg", "Exe=" + copy, "--reg",
        "Exe=" + copy},
       "--reg Exe is given twice"},
      {{"make", disc, "--drive-info", "x", "--message-file", workspace.Path("absent.txt")},
       "cannot be read"},
      {{"make", disc, "--drive-info", "x", "--title", "한국어"}, "--title"},
      {{"make", disc, "--drive-info", "x", "--title", "both \" and '"}, "both quote characters"},
      {{"make", disc}, "--drive-info is required"},
      {{"make", workspace.Path("empty"), "--drive-info", "x"}, "holds no file to list"},
      {{"make", disc, "--drive-info", "x", "-o", workspace.Path("absent/crclist.INF")},
       "crclist.INF: cannot be written: "},
      {{"make", disc, "--drive-info", "x", "-o", workspace.Path("empty")},
       "cannot be written: it is a folder"},
      {{"make"}, "DIR is required"},
  };
  for (const auto& [arguments, message] : cases) {
    SCOPED_TRACE(message);
    std::size_t reads = 0;
    const CommandLine commandLine([&] { return ++reads, false; }, ProgressTerminal{});
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(commandLine.Run(arguments, out, err), 2);
    EXPECT_NE(err.str().find(message), std::string::npos) << err.str();
    EXPECT_EQ(reads, 0u);
    EXPECT_FALSE(workspace.Exists("disc/crclist.INF"));
    EXPECT_FALSE(workspace.Exists("empty/crclist.INF"));
  }
}

// The list is written beside its place and renamed over it; a stop leaves the old one as it was.
TEST(Make, ReplacesAListWholeOrLeavesItAsItWas) {
  Workspace disc;
  disc.Write("a.bin", std::string(3 << 20, 'a'));
  disc.Write("crclist.INF", "old list");
  std::size_t reads = 0;
  const CommandLine stopped([&] { return ++reads >= 2; }, ProgressTerminal{});
  std::ostringstream out;
  std::ostringstream err;
  EXPECT_EQ(stopped.Run({"make", disc.Path(), "--drive-info", "x"}, out, err), 130);
  EXPECT_NE(err.str().find("crclist.INF is left as it was"), std::string::npos) << err.str();
  EXPECT_LT(reads, 4u);  // the file takes three reads
  EXPECT_EQ(disc.Read("crclist.INF"), "old list");

  ASSERT_EQ(RunCrclist({"make", disc.Path(), "--drive-info", "x"}).code, 0);
  CheckList list;
  ASSERT_TRUE(LoadList(disc.Path("crclist.INF"), list));
  EXPECT_EQ(list.cdFiles.size(), 1u);
  std::vector<std::string> names;
  for (const auto& entry :
       std::filesystem::directory_iterator(std::filesystem::u8path(disc.Path()))) {
    names.push_back(entry.path().filename().u8string());
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"a.bin", "crclist.INF"}));
}

#ifndef _WIN32
TEST(Make, NamesABrokenLink) {
  Workspace disc;
  disc.Write("a.bin", "a");
  std::filesystem::create_directories(std::filesystem::u8path(disc.Path("sub")));
  std::filesystem::create_symlink("nowhere", std::filesystem::u8path(disc.Path("sub/link.bin")));
  const Outcome outcome = RunCrclist({"make", disc.Path(), "--drive-info", "x"});
  EXPECT_EQ(outcome.code, 2);
  EXPECT_EQ(outcome.err, "crclist: sub/link.bin: a broken symbolic link to nowhere\n");
}
#endif

TEST(Make, TakesRegistryFilesAndMessageLines) {
  Workspace workspace;
  workspace.Write("disc/a.bin", "a");
  const std::string installed = workspace.Write("installed copy.exe", "program bytes");
  const std::string messages = workspace.Write("message.txt",
                                               "\xEF\xBB\xBF"
                                               "一行目\n\n三行目 with spaces\n");
  const Outcome outcome = RunCrclist({"make", workspace.Path("disc"), "--drive-info", "x", "--game",
                                      "Software\\Maker\\Game", "--reg", "Exe Path=" + installed,
                                      "--message-file", messages});
  ASSERT_EQ(outcome.code, 0) << outcome.err;

  CheckList list;
  ASSERT_TRUE(LoadList(workspace.Path("disc/crclist.INF"), list));
  EXPECT_EQ(list.gameKey, "Software\\Maker\\Game");
  ASSERT_EQ(list.regFiles.size(), 1u);
  const FileEntry expected = EntryFor("Exe Path", "program bytes");
  EXPECT_EQ(list.regFiles[0].name, expected.name);
  EXPECT_EQ(list.regFiles[0].size, expected.size);
  EXPECT_EQ(list.regFiles[0].crc, expected.crc);
  EXPECT_EQ(list.messageLines,
            (std::vector<std::string>{Cp932("一行目"), "", Cp932("三行目 with spaces")}));
}
