#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>

#include "CommandLine.h"
#include "Console.h"
#include "RunCrclist.h"
#include "Workspace.h"
#include "verify/Crc32.h"

namespace {

// A copy of the sample disc that a test may damage.
void CopySampleDisc(const Workspace& workspace) {
  std::filesystem::copy(std::filesystem::u8path(SampleDisc()),
                        std::filesystem::u8path(workspace.Path()),
                        std::filesystem::copy_options::recursive);
}

void ChangeOneByte(const Workspace& workspace, const std::string& name, std::size_t at) {
  std::string bytes = workspace.Read(name);
  bytes[at] = static_cast<char>(bytes[at] ^ 0x01);
  workspace.Write(name, bytes);
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

const std::vector<std::string> kAwkwardNames = {
    ".hidden",
    "it's.txt",
    "read me.txt",
    "ソフト説明.txt",
    "日本語/データ.bin",
    "ｱｲｳ.bin",
    "gamedata/stage/map 01.dat",
    "gamedata/ｶﾅ/ソ.bin",
};

void WriteAwkwardDisc(const Workspace& disc) {
  for (const std::string& name : kAwkwardNames) disc.Write(name, name + std::string(5000, 'x'));
}

}  // namespace

TEST(Verify, PassesOnTheSampleDiscAndNamesAChangedByte) {
  const Outcome intact = RunCrclist({"verify", "--root", SampleDisc()});
  EXPECT_EQ(intact.code, 0) << intact.err;
  EXPECT_EQ(intact.out, "all 5 files verified\n");

  Workspace copy;
  CopySampleDisc(copy);
  ChangeOneByte(copy, "gamedata/stage/map01.dat", 4321);
  const Outcome changed = RunCrclist({"verify", "--root", copy.Path()});
  EXPECT_EQ(changed.code, 1);
  EXPECT_TRUE(
      Contains(changed.out, "gamedata\\stage\\map01.dat: wrong CRC-32: listed 0x27F43080\n"))
      << changed.out;
}

// make, show and verify agree on names with spaces, Japanese, half-width katakana, a leading full
// stop and 0x5C as a trail byte.
TEST(Verify, VerifiesWhatMakeListedAndShowReads) {
  Workspace disc;
  WriteAwkwardDisc(disc);
  ASSERT_EQ(RunCrclist({"make", disc.Path(), "--drive-info", "x", "--title", "t"}).code, 0);

  const Outcome shown = RunCrclist({"show", "--json", disc.Path("crclist.INF")});
  ASSERT_EQ(shown.code, 0);
  const nlohmann::json json = nlohmann::json::parse(shown.out);
  std::vector<std::string> names;
  for (const auto& entry : json["cdFiles"]) names.push_back(entry["name"]);
  for (const auto& entry : json["gameDataFiles"]) {
    names.push_back("gamedata/" + entry["name"].get<std::string>());
  }
  for (std::string& name : names) std::replace(name.begin(), name.end(), '\\', '/');
  EXPECT_EQ(names, kAwkwardNames);

  const Outcome verified = RunCrclist({"verify", "--root", disc.Path()});
  EXPECT_EQ(verified.code, 0) << verified.out << verified.err;
  EXPECT_EQ(verified.out, "all 8 files verified\n");
}

TEST(Verify, StopsAtTheFirstFailureOrListsEveryOne) {
  Workspace disc;
  WriteAwkwardDisc(disc);
  ASSERT_EQ(RunCrclist({"make", disc.Path(), "--drive-info", "x"}).code, 0);
  ChangeOneByte(disc, "ソフト説明.txt", 0);
  disc.Write("gamedata/ｶﾅ/ソ.bin", disc.Read("gamedata/ｶﾅ/ソ.bin").substr(1));
  std::filesystem::remove(std::filesystem::u8path(disc.Path("it's.txt")));

  const Outcome first = RunCrclist({"verify", "--root", disc.Path()});
  EXPECT_EQ(first.code, 1);
  EXPECT_EQ(
      first.out,
      "it's.txt: missing or cannot be opened\n"
      "stopped at the first failure, as Disksentry does (--keep-going verifies every file)\n");

  const Outcome every = RunCrclist({"verify", "--root", disc.Path(), "--keep-going"});
  EXPECT_EQ(every.code, 1);
  const std::string changed = "ソフト説明.txt" + std::string(5000, 'x');
  char listedCrc[16];
  std::snprintf(listedCrc, sizeof listedCrc, "0x%08lX",
                static_cast<unsigned long>(Crc32::Of(changed.data(), changed.size())));
  const std::size_t cutSize = std::string("gamedata/ｶﾅ/ソ.bin").size() + 5000;
  EXPECT_EQ(every.out,
            "it's.txt: missing or cannot be opened\n"
            "ソフト説明.txt: wrong CRC-32: listed " +
                std::string(listedCrc) +
                "\n"
                "gamedata\\ｶﾅ\\ソ.bin: wrong size: listed " +
                std::to_string(cutSize) + " bytes, found " + std::to_string(cutSize - 1) +
                "\n"
                "3 of 8 files failed\n");
}

// Files read ahead, several at once, must not change what is reported or in which order: sizes
// around the 1 MiB reads, empty files, and failures of every kind among them.
TEST(Verify, ReportsTheSameInEveryReadingOrder) {
  Workspace disc;
  const std::vector<std::size_t> sizes = {0, 1, 4096, (1 << 20) - 1, 1 << 20, (1 << 20) + 1,
                                          3 << 20};
  for (std::size_t i = 0; i < 21; ++i) {
    const std::string name = std::string(i % 3 == 0 ? "gamedata" : "data") + "/f" +
                             (i < 10 ? "0" : "") + std::to_string(i) + ".bin";
    disc.Write(name, std::string(sizes[i % sizes.size()], static_cast<char>('a' + i % 26)));
  }
  ASSERT_EQ(RunCrclist({"make", disc.Path(), "--drive-info", "x"}).code, 0);
  ChangeOneByte(disc, "data/f04.bin", 4095);
  ChangeOneByte(disc, "gamedata/f06.bin", 3 << 19);
  std::filesystem::remove(std::filesystem::u8path(disc.Path("data/f10.bin")));
  disc.Write("data/f13.bin", std::string(5, 'x'));
  ChangeOneByte(disc, "data/f20.bin", 0);

  const Outcome sequential =
      RunCrclist({"verify", "--root", disc.Path(), "--keep-going", "--reading=sequential"});
  EXPECT_EQ(sequential.code, 1);
  EXPECT_TRUE(Contains(sequential.out, "5 of 21 files failed\n")) << sequential.out;
  for (const char* reading : {"--reading=parallel", "--reading=auto"}) {
    const Outcome ahead = RunCrclist({"verify", "--root", disc.Path(), "--keep-going", reading});
    EXPECT_EQ(ahead.code, 1);
    EXPECT_EQ(ahead.out, sequential.out) << reading;
    const Outcome first = RunCrclist({"verify", "--root", disc.Path(), reading});
    EXPECT_EQ(first.out, sequential.out.substr(0, sequential.out.find('\n') + 1) +
                             "stopped at the first failure, as Disksentry does (--keep-going "
                             "verifies every file)\n")
        << reading;
  }
  EXPECT_EQ(RunCrclist({"verify", "--root", disc.Path(), "--reading=fast"}).code, 2);
}

// A root whose name ends in "ソ" (83 5C in CP932) must not be taken to end in a separator.
TEST(Verify, TakesARootWithAJapaneseNameAndRefusesOneWithoutCp932) {
  Workspace workspace;
  const std::string root = workspace.Path("ディスクソ");
  workspace.Write("ディスクソ/a.bin", "a");
  ASSERT_EQ(RunCrclist({"make", root, "--drive-info", "x"}).code, 0);
  const Outcome outcome = RunCrclist({"verify", "--root", root});
  EXPECT_EQ(outcome.code, 0) << outcome.out << outcome.err;

  workspace.Write("한국어/a.bin", "a");
  const Outcome korean = RunCrclist({"verify", "--root", workspace.Path("한국어")});
  EXPECT_EQ(korean.code, 2);
  EXPECT_TRUE(Contains(korean.err, "no CP932 form")) << korean.err;
}

TEST(Verify, RefusesListsItCannotUse) {
  Workspace workspace;
  workspace.Write("a.bin", "a");
  const std::string broken =
      workspace.Write("broken.INF", "[DRIVEINFO]\nx\n[CDFILES]\na.bin 1,0\n");
  const std::string noDrive = workspace.Write("nodrive.INF", "[CDFILES]\na.bin,1,0xE8B7BE43\n");
  const std::string cut = workspace.Write(
      "cut.INF", "[DRIVEINFO]\nx\n[CDFILES]\na.bin,1,0xE8B7BE43\n\xFF\nb.bin,1,0\n");
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"verify", "--root", workspace.Path()}, "cannot be loaded"},
      {{"verify", "--root", workspace.Path("absent")}, "no such folder"},
      {{"verify", "--root", workspace.Path(), "--list", broken}, "cannot be loaded"},
      {{"verify", "--root", workspace.Path(), "--list", noDrive}, "no DRIVEINFO"},
      {{"verify", "--root", workspace.Path(), "--list", cut}, "cannot be loaded"},
      {{"verify", "--unknown"}, "--unknown"},
  };
  for (const auto& [arguments, message] : cases) {
    SCOPED_TRACE(message);
    const Outcome outcome = RunCrclist(arguments);
    EXPECT_EQ(outcome.code, 2);
    EXPECT_TRUE(Contains(outcome.err, message)) << outcome.err;
  }
}

// The list may stand elsewhere; an invalid byte in it is reported and does not stop the run.
TEST(Verify, ReadsAListFromElsewhereAndReportsItsInvalidTokens) {
  Workspace workspace;
  workspace.Write("disc/a.bin", "a");
  const std::string list = workspace.Write(
      "lists/crclist.INF", "[DRIVEINFO]\nx\n[MESSAGE]\n:\n[CDFILES]\na.bin,1,0xE8B7BE43\n");
  const Outcome outcome = RunCrclist({"verify", "--root", workspace.Path("disc"), "--list", list});
  EXPECT_EQ(outcome.code, 0) << outcome.err;
  EXPECT_EQ(outcome.out, "all 1 files verified\n");
  EXPECT_TRUE(Contains(outcome.err, "invalid token \":\"")) << outcome.err;
}

TEST(Verify, StopsCleanlyWhenAskedBetweenReads) {
  Workspace disc;
  disc.Write("a.bin", std::string(5 << 20, 'a'));
  disc.Write("b.bin", std::string(100000, 'b'));
  ASSERT_EQ(RunCrclist({"make", disc.Path(), "--drive-info", "x"}).code, 0);

  int polls = 0;
  const CommandLine commandLine([&] { return ++polls > 1; }, false);
  std::ostringstream out;
  std::ostringstream err;
  EXPECT_EQ(commandLine.Run({"verify", "--root", disc.Path()}, out, err), 1);
  EXPECT_EQ(out.str(), "stopped after 0 of 2 files\n");
  // The first file takes several reads; reading ended at the one where the stop came.
  EXPECT_LT(polls, 4);
}

TEST(Verify, StopsOnCtrlC) {
  Workspace disc;
  disc.Write("a.bin", std::string(10000, 'a'));
  ASSERT_EQ(RunCrclist({"make", disc.Path(), "--drive-info", "x"}).code, 0);

  console::CatchInterrupt();
  std::raise(SIGINT);
  ASSERT_TRUE(console::InterruptRequested());
  const CommandLine commandLine(console::InterruptRequested, false);
  std::ostringstream out;
  EXPECT_EQ(commandLine.Run({"verify", "--root", disc.Path()}, out, out), 1);
  EXPECT_EQ(out.str(), "stopped after 0 of 1 files\n");
  std::signal(SIGINT, SIG_DFL);
}

// On a terminal the progress line is erased before each message, so none is glued to it.
TEST(Verify, ErasesTheProgressLineBeforeEachMessage) {
  Workspace disc;
  disc.Write("a.bin", std::string(10000, 'a'));
  disc.Write("b.bin", std::string(10000, 'b'));
  ASSERT_EQ(RunCrclist({"make", disc.Path(), "--drive-info", "x"}).code, 0);
  ChangeOneByte(disc, "a.bin", 5);

  const CommandLine commandLine([] { return false; }, true);
  std::ostringstream screen;
  EXPECT_EQ(commandLine.Run({"verify", "--root", disc.Path(), "--keep-going"}, screen, screen), 1);
  const std::string text = screen.str();
  EXPECT_EQ(text.rfind("\r\x1b[K[1/2]", 0), 0u) << text;
  EXPECT_TRUE(Contains(text, "a.bin")) << text;
  EXPECT_TRUE(Contains(text, "\r\x1b[Ka.bin: wrong CRC-32")) << text;
  const std::string summary = "\r\x1b[K1 of 2 files failed\n";
  EXPECT_EQ(text.substr(text.size() - summary.size()), summary) << text;
}
