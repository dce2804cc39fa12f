#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "RunCrclist.h"
#include "Workspace.h"

namespace {

using Json = nlohmann::ordered_json;

Json ShowJson(const std::string& path, int expectedCode) {
  const Outcome outcome = RunCrclist({"show", "--json", path});
  EXPECT_EQ(outcome.code, expectedCode) << outcome.err;
  return Json::parse(outcome.out);
}

}  // namespace

TEST(Show, PrintsTheSampleDiscAsReadmeShowsIt) {
  const Outcome outcome = RunCrclist({"show", SampleDisc("crclist.INF")});
  EXPECT_EQ(outcome.code, 0);
  EXPECT_EQ(outcome.out,
            "loaded: yes\n"
            "title: サンプルゲーム 体験版\n"
            "gameKey: Software\\DisksentrySample\\SampleGame\n"
            "regFiles: 2\n"
            "  DataFile  300000  0xBF556166\n"
            "  MapFile  5000  0x27F43080\n"
            "cdFiles: 3\n"
            "  readme.txt  72  0x17398F5F\n"
            "  setup.dat  12345  0x692079AA\n"
            "  ソフト説明.txt  38  0x0AEF31C1\n"
            "gameDataFiles: 2\n"
            "  data1.bin  300000  0xBF556166\n"
            "  stage\\map01.dat  5000  0x27F43080\n"
            "messageLines: 2\n"
            "  ディスクとインストールされたファイルが壊れていないかを調べます。\n"
            "  調べる方を選んでください。\n"
            "driveInfo: 1\n"
            "  ゲームのディスクが入ったドライブを選んでください。\n");
}

TEST(Show, GivesTheSevenMembersAsJson) {
  const Json json = ShowJson(SampleDisc("crclist.INF"), 0);
  std::vector<std::string> keys;
  for (const auto& member : json.items()) keys.push_back(member.key());
  EXPECT_EQ(keys, (std::vector<std::string>{"loaded", "title", "gameKey", "regFiles", "cdFiles",
                                            "gameDataFiles", "messageLines", "driveInfo",
                                            "invalidTokens"}));
  EXPECT_EQ(json["loaded"], true);
  EXPECT_EQ(json["title"], "サンプルゲーム 体験版");
  EXPECT_EQ(json["cdFiles"][2],
            Json({{"name", "ソフト説明.txt"}, {"size", 38}, {"crc", 0x0AEF31C1}}));
  EXPECT_EQ(json["gameDataFiles"][1]["name"], "stage\\map01.dat");
  EXPECT_EQ(json["messageLines"].size(), 2u);
  EXPECT_EQ(json["driveInfo"][0], "ゲームのディスクが入ったドライブを選んでください。");
  EXPECT_EQ(json["invalidTokens"], Json::array());
}

// Sizes are the stored signed value, crcs unsigned; an undecodable byte is U+FFFD; the invalid
// tokens are those the program's reader reports, in order.
TEST(Show, GivesStoredValuesUndecodableBytesAndInvalidTokens) {
  Workspace workspace;
  const std::string list = workspace.Write(
      "crclist.INF",
      "[TITLE]\n\"a\xFD\x41\"\n[CDFILES]\nbig,4294967295,0xFFFFFFFF\n[MESSAGE]\nA\n:\n\xB1\n");
  const Json json = ShowJson(list, 0);
  EXPECT_EQ(json["title"],
            "a\xEF\xBF\xBD"
            "A");
  EXPECT_EQ(json["cdFiles"][0], Json({{"name", "big"}, {"size", -1}, {"crc", 4294967295u}}));
  EXPECT_EQ(json["messageLines"], Json({"A", ":", "ｱ"}));
  EXPECT_EQ(json["invalidTokens"], Json({":", "ｱ"}));

  const Outcome text = RunCrclist({"show", list});
  EXPECT_EQ(text.out.substr(0, text.out.find("loaded")), "invalid token: :\ninvalid token: ｱ\n");
}

TEST(Show, ReportsAFailedLoadWithWhatWasReadBeforeIt) {
  Workspace workspace;
  const Json broken =
      ShowJson(workspace.Write("crclist.INF", "[TITLE]\nT\n[CDFILES]\na,1,2\nb 3,4\n"), 1);
  EXPECT_EQ(broken["loaded"], false);
  EXPECT_EQ(broken["title"], "T");
  EXPECT_EQ(broken["cdFiles"].size(), 1u);

  // A 0xFF byte ends the list: padding may follow it, nothing else.
  const std::string entries = "[CDFILES]\na,1,2\n\xFF";
  const Json cut = ShowJson(workspace.Write("cut.INF", entries + "\nb,3,4\n"), 1);
  EXPECT_EQ(cut["loaded"], false);
  EXPECT_EQ(cut["cdFiles"].size(), 1u);
  const Json padded = ShowJson(workspace.Write("padded.INF", entries + "\xFF\r\n\xFF"), 0);
  EXPECT_EQ(padded["loaded"], true);
  EXPECT_EQ(padded["cdFiles"].size(), 1u);
}

TEST(Show, SaysWhatIsWrongWithAListItCannotRead) {
  Workspace workspace;
  workspace.Write("folder/a.bin", "a");
  const std::vector<std::pair<std::string, std::string>> cases = {
      {workspace.Path("absent.INF"), ": no such file\n"},
      {workspace.Path("folder"), ": a folder, not a check list\n"},
  };
  for (const auto& [path, problem] : cases) {
    SCOPED_TRACE(problem);
    const Outcome outcome = RunCrclist({"show", path});
    EXPECT_EQ(outcome.code, 2);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err, "crclist: " + path + problem);
  }
}

TEST(Show, OpensAListInAFolderWithAJapaneseName) {
  Workspace workspace;
  const std::string list = workspace.Write("ソフト/crclist.INF", "[TITLE]\nT\n");
  EXPECT_EQ(ShowJson(list, 0)["title"], "T");

  // The list's bytes are read as they are: its path need not have a CP932 form.
  EXPECT_EQ(ShowJson(workspace.Write("한국어/crclist.INF", "[TITLE]\nK\n"), 0)["title"], "K");
}

// An empty list reads fine and fails to load: each command names it as empty, none with a stale
// system error, and show still gives its JSON.
TEST(EmptyList, IsNamedAsEmptyByEveryCommand) {
  Workspace workspace;
  const std::string list = workspace.Write("crclist.INF", "");
  const Json json = ShowJson(list, 1);
  EXPECT_EQ(json["loaded"], false);
  EXPECT_EQ(json["cdFiles"].size(), 0u);
  const std::vector<std::pair<std::vector<std::string>, int>> runs = {
      {{"show", list}, 1},
      {{"lint", list}, 2},
      {{"verify", list}, 2},
  };
  for (const auto& [arguments, code] : runs) {
    SCOPED_TRACE(arguments[0]);
    const Outcome outcome = RunCrclist(arguments);
    EXPECT_EQ(outcome.code, code);
    EXPECT_EQ(outcome.err, "crclist: " + list + ": the file is empty, and Disksentry cannot load it\n");
  }
}
