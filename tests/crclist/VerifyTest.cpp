#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "RunCrclist.h"
#include "Workspace.h"
#include "commands/CommandLine.h"
#include "system/OperatingSystem.h"
#include "terminal/Console.h"
#include "verify/Crc32.h"

#ifdef _WIN32
#include <windows.h>
#endif

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

#ifdef _WIN32
constexpr bool kCaseSensitiveFiles = false;
#else
constexpr bool kCaseSensitiveFiles = true;
#endif

std::string FirstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

#ifdef _WIN32
constexpr int kFileNotFound = ERROR_FILE_NOT_FOUND;

// The system's own words, from its UTF-16 form.
std::string FileNotFoundText() {
  wchar_t text[256];
  DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                kFileNotFound, 0, text, 256, nullptr);
  while (length > 0 && (text[length - 1] == L'\r' || text[length - 1] == L'\n')) --length;
  return std::filesystem::path(std::wstring(text, length)).u8string();
}
#else
constexpr int kFileNotFound = ENOENT;

std::string FileNotFoundText() { return std::strerror(ENOENT); }
#endif

// A path from a disc's root as this platform writes it.
std::string Shown(std::string path) {
#ifdef _WIN32
  std::replace(path.begin(), path.end(), '/', '\\');
#endif
  return path;
}

std::string Hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(value));
  return text;
}

std::string CrcOf(const std::string& bytes) { return Hex(Crc32::Of(bytes.data(), bytes.size())); }

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

TEST(Verify, PassesOnTheSampleDiscAndNamesAChangedByteWithBothCrcs) {
  const Outcome intact = RunCrclist({"verify", "--root", SampleDisc()});
  EXPECT_EQ(intact.code, 0) << intact.err;
  EXPECT_EQ(FirstLine(intact.out), "all 5 files verified: 3 CDFILES, 2 GAMEDATA");
  // The time taken goes to the error stream, which holds nothing else.
  EXPECT_EQ(intact.err.rfind("0.3 MB read in ", 0), 0u) << intact.err;
  EXPECT_EQ(std::count(intact.err.begin(), intact.err.end(), '\n'), 1) << intact.err;

  Workspace copy;
  CopySampleDisc(copy);
  ChangeOneByte(copy, "gamedata/stage/map01.dat", 4321);
  const Outcome changed = RunCrclist({"verify", "--root", copy.Path()});
  EXPECT_EQ(changed.code, 1);
  EXPECT_EQ(FirstLine(changed.out), Shown("gamedata/stage/map01.dat") +
                                        ": wrong CRC-32: listed 0x27F43080, found " +
                                        CrcOf(copy.Read("gamedata/stage/map01.dat")));
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
  EXPECT_EQ(FirstLine(verified.out), "all 8 files verified: 6 CDFILES, 2 GAMEDATA");
  EXPECT_EQ(std::count(verified.err.begin(), verified.err.end(), '\n'), 1) << verified.err;
}

TEST(Verify, StopsAtTheFirstFailureOrListsEveryOne) {
  Workspace disc;
  WriteAwkwardDisc(disc);
  ASSERT_EQ(RunCrclist({"make", disc.Path(), "--drive-info", "x"}).code, 0);
  const std::string original = disc.Read("ソフト説明.txt");
  ChangeOneByte(disc, "ソフト説明.txt", 0);
  disc.Write("gamedata/ｶﾅ/ソ.bin", disc.Read("gamedata/ｶﾅ/ソ.bin").substr(1));
  std::filesystem::remove(std::filesystem::u8path(disc.Path("it's.txt")));

  const Outcome first = RunCrclist({"verify", "--root", disc.Path()});
  EXPECT_EQ(first.code, 1);
  EXPECT_EQ(first.out.rfind("it's.txt: missing or cannot be opened: ", 0), 0u) << first.out;
  EXPECT_TRUE(Contains(first.out,
                       "\nstopped at the first failure, as Disksentry does "
                       "(--keep-going verifies every file)\n"))
      << first.out;

  const Outcome every = RunCrclist({"verify", "--root", disc.Path(), "--keep-going"});
  EXPECT_EQ(every.code, 1);
  const std::size_t cutSize = std::string("gamedata/ｶﾅ/ソ.bin").size() + 5000;
  std::istringstream lines(every.out);
  std::vector<std::string> got;
  for (std::string line; std::getline(lines, line);) got.push_back(line);
  ASSERT_EQ(got.size(), 4u) << every.out;
  EXPECT_EQ(got[1], "ソフト説明.txt: wrong CRC-32: listed " + CrcOf(original) + ", found " +
                        CrcOf(disc.Read("ソフト説明.txt")));
  EXPECT_EQ(got[2], Shown("gamedata/ｶﾅ/ソ.bin") + ": wrong size: listed " +
                        std::to_string(cutSize) + " bytes, found " + std::to_string(cutSize - 1));
  EXPECT_EQ(got[3], "3 of 8 files failed; verified: 4 CDFILES, 1 GAMEDATA");
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
  EXPECT_TRUE(Contains(sequential.out, "5 of 21 files failed; verified: 10 CDFILES, 6 GAMEDATA\n"))
      << sequential.out;
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
  EXPECT_EQ(FirstLine(outcome.out), "1 file verified: 1 CDFILES, 0 GAMEDATA");

  workspace.Write("한국어/a.bin", "a");
  const Outcome korean = RunCrclist({"verify", "--root", workspace.Path("한국어")});
  EXPECT_EQ(korean.code, 2);
  EXPECT_TRUE(Contains(korean.err, "no CP932 form")) << korean.err;
}

// The list as an argument or an option, a file or its folder; the root is then the list's folder.
TEST(Verify, FindsTheListAndTheRootAsGiven) {
  Workspace workspace;
  workspace.Write("disc/a.bin", "a");
  workspace.Write("disc/gamedata/b.bin", "b");
  ASSERT_EQ(RunCrclist({"make", workspace.Path("disc"), "--drive-info", "x"}).code, 0);
  const std::string list = workspace.Path("disc/crclist.INF");
  const std::string elsewhere =
      workspace.Write("lists/disc.INF", workspace.Read("disc/crclist.INF"));
  const std::vector<std::vector<std::string>> verified = {
      {"verify", workspace.Path("disc")},
      {"verify", list},
      {"verify", "--list", list},
      {"verify", "--root", workspace.Path("disc")},
      {"verify", elsewhere, "--root", workspace.Path("disc")},
  };
  for (const auto& arguments : verified) {
    SCOPED_TRACE(arguments[1]);
    const Outcome outcome = RunCrclist(arguments);
    EXPECT_EQ(outcome.code, 0) << outcome.err;
    EXPECT_EQ(FirstLine(outcome.out), "all 2 files verified: 1 CDFILES, 1 GAMEDATA");
  }

  // Beside its list, under another root, the disc's files are missing: the root must be given.
  const Outcome misplaced = RunCrclist({"verify", elsewhere});
  EXPECT_EQ(misplaced.code, 1);

  const Outcome both = RunCrclist({"verify", list, "--list", list});
  EXPECT_EQ(both.code, 2);
  EXPECT_TRUE(Contains(both.err, "excludes")) << both.err;
}

TEST(Verify, RefusesListsItCannotUseAndSaysWhy) {
  Workspace workspace;
  workspace.Write("a.bin", "a");
  workspace.Write("gamedata/b.bin", "b");
  const std::string broken =
      workspace.Write("broken.INF", "[DRIVEINFO]\nx\n[CDFILES]\na.bin 1,0\n");
  const std::string noDrive = workspace.Write("nodrive.INF", "[CDFILES]\na.bin,1,0xE8B7BE43\n");
  const std::string gameData =
      std::filesystem::u8path(workspace.Path("gamedata")).make_preferred().u8string();
  const std::string cut = workspace.Write(
      "cut.INF", "[DRIVEINFO]\nx\n[CDFILES]\na.bin,1,0xE8B7BE43\n\xFF\nb.bin,1,0\n");
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"verify", "--root", workspace.Path()}, "crclist.INF: no such file"},
      {{"verify", "--root", gameData},
       (std::filesystem::u8path(gameData) / "crclist.INF").u8string() + ": no such file"},
      {{"verify", "--root", workspace.Path("absent")}, "no such folder"},
      {{"verify", broken}, ":4:7: expected \",\" after the name"},
      {{"verify", broken}, "cannot be loaded"},
      {{"verify", noDrive}, "no DRIVEINFO"},
      {{"verify", cut}, "cannot be loaded"},
      {{"verify", "--unknown"}, "--unknown"},
      {{"verify", "-q", "-v"}, "excludes"},
  };
  for (const auto& [arguments, message] : cases) {
    SCOPED_TRACE(message);
    const Outcome outcome = RunCrclist(arguments);
    EXPECT_EQ(outcome.code, 2);
    EXPECT_TRUE(Contains(outcome.err, message)) << outcome.err;
  }
}

// Each trap that changes what is verified is reported before the run, with its place; the run
// passes unless --strict.
TEST(Verify, ReportsWhatTheListMakesItSkipOrReadOtherwise) {
  const std::string head = "[DRIVEINFO]\r\nD\r\n[CDFILES]\r\na.bin,1,0xE8B7BE43\r\n";
  struct Case {
    const char* what;
    std::string listTail;  // after head; "^" puts what follows it before head
    std::string finding;
    int code = 0;
  };
  const std::vector<Case> cases = {
      {"a mistyped section", "[GAMEDAT]\r\nb.bin,1,0x71BEEFF9\r\n",
       ":5:2: unknown section \"GAMEDAT\": its body is skipped up to the next \"[\"; did you "
       "mean \"GAMEDATA\"? [unknown-section]"},
      {"text outside sections", "^junk\r\n", ":1:1: this stands outside any section"},
      {"a dropped last word", "[MESSAGE]\r\nbye", ":6:1: the last word \"bye\""},
      {"an invalid byte", "[MESSAGE]\r\nTime:\r\n", ":6:5: \":\" cannot stand outside quotes"},
      {"a file the list leaves out", "",
       ": \"gamedata\\b.bin\" under ROOT is left out of the list: Disksentry never checks it "
       "[unlisted-file]"},
      {"a name that matches only in another case", "[GAMEDATA]\r\nB.BIN,1,0x71BEEFF9\r\n",
       ":6:1: \"gamedata\\B.BIN\" is found under ROOT only as \"gamedata\\b.bin\"",
       kCaseSensitiveFiles ? 1 : 0},
  };
  for (const Case& trap : cases) {
    SCOPED_TRACE(trap.what);
    Workspace disc;
    disc.Write("a.bin", "a");
    disc.Write("gamedata/b.bin", "b");
    const bool before = trap.listTail.rfind("^", 0) == 0;
    const std::string list =
        disc.Write("crclist.INF", before ? trap.listTail.substr(1) + head : head + trap.listTail);
    std::string finding = trap.finding;
    const std::size_t root = finding.find("ROOT");
    if (root != std::string::npos) finding.replace(root, 4, disc.Path());

    const Outcome outcome = RunCrclist({"verify", disc.Path()});
    EXPECT_TRUE(Contains(outcome.err, list + finding)) << outcome.err;
    EXPECT_EQ(outcome.code, trap.code);
    const Outcome strict = RunCrclist({"verify", disc.Path(), "--strict"});
    EXPECT_EQ(strict.code, 1);
  }
}

// A name that climbs out of the disc is reported and not read, even where it would open.
TEST(Verify, RefusesToReadOutsideTheRoot) {
  Workspace workspace;
  workspace.Write("secret.txt", "s");
  workspace.Write("disc/a.bin", "a");
  workspace.Write("disc/crclist.INF",
                  "[DRIVEINFO]\r\nD\r\n[CDFILES]\r\n\"..\\secret.txt\",1,0xE8B7BE43\r\n"
                  "a.bin,1,0xE8B7BE43\r\n");
  const Outcome outcome = RunCrclist({"verify", workspace.Path("disc"), "--keep-going"});
  EXPECT_EQ(outcome.code, 1);
  EXPECT_TRUE(Contains(outcome.err, "\"..\\secret.txt\" climbs out of the disc")) << outcome.err;
  EXPECT_EQ(FirstLine(outcome.out),
            Shown("../secret.txt") +
                ": not read: the name leads outside the disc's folder, and crclist reads "
                "nothing there");
}

TEST(Verify, PrintsFailuresOnlyOrEveryFileAsAsked) {
  Workspace disc;
  disc.Write("a.bin", "a");
  disc.Write("b.bin", "b");
  ASSERT_EQ(RunCrclist({"make", disc.Path(), "--drive-info", "x"}).code, 0);
  const Outcome quiet = RunCrclist({"verify", disc.Path(), "-q"});
  EXPECT_EQ(RunCrclist({"verify", disc.Path(), "-q", "--strict"}).code, 0);
  EXPECT_EQ(quiet.code, 0);
  EXPECT_EQ(quiet.out, "");
  const Outcome verbose = RunCrclist({"verify", disc.Path(), "-v"});
  EXPECT_EQ(verbose.out.rfind("a.bin: intact\nb.bin: intact\nall 2 files verified", 0), 0u)
      << verbose.out;

  ChangeOneByte(disc, "b.bin", 0);
  const Outcome failed = RunCrclist({"verify", disc.Path(), "-q"});
  EXPECT_EQ(failed.code, 1);
  EXPECT_EQ(FirstLine(failed.out).rfind("b.bin: wrong CRC-32", 0), 0u) << failed.out;
}

// Every listed file in list order with what was found, then totals; after a stop at the first
// failure the rest are not reached.
TEST(Verify, WritesAJsonReportOfEveryListedFile) {
  Workspace disc;
  disc.Write("a.bin", "a");
  disc.Write("b.bin", "bb");
  disc.Write("c.bin", "ccc");
  disc.Write("gamedata/d.bin", "dddd");
  ASSERT_EQ(RunCrclist({"make", disc.Path(), "--drive-info", "x"}).code, 0);
  ChangeOneByte(disc, "b.bin", 1);
  disc.Write("c.bin", "cc");
  std::filesystem::remove(std::filesystem::u8path(disc.Path("gamedata/d.bin")));

  const Outcome every = RunCrclist({"verify", disc.Path(), "--keep-going", "--json", "-"});
  EXPECT_EQ(every.code, 1);
  EXPECT_TRUE(Contains(every.err, "3 of 4 files failed")) << every.err;
  const nlohmann::ordered_json report = nlohmann::ordered_json::parse(every.out);
  const auto& files = report["files"];
  ASSERT_EQ(files.size(), 4u);
  EXPECT_EQ(files[0], nlohmann::ordered_json::parse(
                          R"({"section": "CDFILES", "name": "a.bin", "size": 1, "crc": 3904355907,
                              "status": "intact", "foundSize": 1, "foundCrc": 3904355907,
                              "bytesRead": 1, "seconds": )" +
                          files[0]["seconds"].dump() + "}"));
  EXPECT_EQ(files[1]["status"], "CRC-32 differs");
  EXPECT_EQ(files[1]["foundCrc"], Crc32::Of("bc", 2));
  EXPECT_EQ(files[2]["status"], "size differs");
  EXPECT_EQ(files[2]["foundSize"], 2);
  EXPECT_FALSE(files[2].contains("foundCrc"));
  EXPECT_EQ(files[3]["section"], "GAMEDATA");
  EXPECT_EQ(files[3]["name"], "d.bin");
  EXPECT_EQ(files[3]["status"], "missing");
  EXPECT_TRUE(files[3].contains("reason"));
  EXPECT_EQ(report["totals"]["files"], 4);
  EXPECT_EQ(report["totals"]["intact"], 1);
  EXPECT_EQ(report["totals"]["missing"], 1);
  EXPECT_EQ(report["totals"]["bytesRead"], 3);

  const std::string saved = disc.Path("report.json");
  const Outcome first = RunCrclist({"verify", disc.Path(), "--json", saved});
  EXPECT_EQ(first.code, 1);
  EXPECT_TRUE(Contains(first.out, "stopped at the first failure")) << first.out;
  const nlohmann::json firstReport = nlohmann::json::parse(disc.Read("report.json"));
  EXPECT_EQ(firstReport["files"][2]["status"], "not reached");
  EXPECT_EQ(firstReport["totals"]["not reached"], 2);

  const Outcome unwritable =
      RunCrclist({"verify", disc.Path(), "--json", disc.Path("absent/report.json")});
  EXPECT_EQ(unwritable.code, 2);
  EXPECT_TRUE(Contains(unwritable.err, "cannot be written")) << unwritable.err;
}

// In the system's language and in UTF-8, whatever the ANSI code page: on a Japanese Windows the
// standard library's messages come in CP932.
TEST(Verify, GivesTheSystemsReasonsInUtf8) {
  Workspace disc;
  disc.Write("a.bin", "a");
  ASSERT_EQ(RunCrclist({"make", disc.Path(), "--drive-info", "x"}).code, 0);
  std::filesystem::remove(std::filesystem::u8path(disc.Path("a.bin")));
  const std::string report = disc.Path("report.json");
  const Outcome missing = RunCrclist({"verify", disc.Path(), "--json", report});
  EXPECT_EQ(missing.code, 1);
  EXPECT_EQ(FirstLine(missing.out), "a.bin: missing or cannot be opened: " + FileNotFoundText());
  EXPECT_EQ(nlohmann::json::parse(disc.Read("report.json"))["files"][0]["reason"],
            FileNotFoundText());
  // As the standard library's file system operations give some of their failures.
  EXPECT_EQ(os::ErrorText(std::error_code(kFileNotFound, std::system_category())),
            FileNotFoundText());
}

TEST(Verify, StopsCleanlyWhenAskedBetweenReads) {
  Workspace disc;
  disc.Write("a.bin", std::string(5 << 20, 'a'));
  disc.Write("b.bin", std::string(100000, 'b'));
  ASSERT_EQ(RunCrclist({"make", disc.Path(), "--drive-info", "x"}).code, 0);

  int polls = 0;
  const CommandLine commandLine([&] { return ++polls > 1; }, ProgressTerminal{});
  std::ostringstream out;
  std::ostringstream err;
  EXPECT_EQ(commandLine.Run({"verify", "--root", disc.Path(), "--json", "-"}, out, err), 130);
  EXPECT_EQ(err.str(), "stopped after 0 of 2 files\n");
  // The first file takes several reads; reading ended at the one where the stop came.
  EXPECT_LT(polls, 4);
  const nlohmann::json report = nlohmann::json::parse(out.str());
  EXPECT_EQ(report["totals"]["not reached"], 2);
}

// After a stop, --keep-going tells how many files had already failed.
TEST(Verify, StopsOnCtrlCWithExit130AndCountsFailuresSoFar) {
  Workspace disc;
  disc.Write("a.bin", std::string(10000, 'a'));
  disc.Write("b.bin", std::string(10000, 'b'));
  ASSERT_EQ(RunCrclist({"make", disc.Path(), "--drive-info", "x"}).code, 0);
  ChangeOneByte(disc, "a.bin", 7);

  console::CatchInterrupt();
  std::ostringstream out;
  // Ctrl-C once the first file's failure is out.
  const CommandLine commandLine(
      [&] {
        if (!console::InterruptRequested() && Contains(out.str(), "a.bin:")) std::raise(SIGINT);
        return console::InterruptRequested();
      },
      ProgressTerminal{});
  EXPECT_EQ(commandLine.Run({"verify", disc.Path(), "--keep-going"}, out, out), 130);
  EXPECT_TRUE(Contains(out.str(), "a.bin: wrong CRC-32")) << out.str();
  EXPECT_TRUE(Contains(out.str(), "stopped after 1 of 2 files; 1 had failed\n")) << out.str();
  std::signal(SIGINT, SIG_DFL);
}

// On a terminal the progress line is erased before each message, so none is glued to it.
TEST(Verify, ErasesTheProgressLineBeforeEachMessage) {
  Workspace disc;
  disc.Write("a.bin", std::string(10000, 'a'));
  disc.Write("b.bin", std::string(10000, 'b'));
  ASSERT_EQ(RunCrclist({"make", disc.Path(), "--drive-info", "x"}).code, 0);
  ChangeOneByte(disc, "a.bin", 5);

  ProgressTerminal terminal;
  terminal.shown = true;
  terminal.escapes = true;
  const CommandLine commandLine([] { return false; }, terminal);
  std::ostringstream screen;
  EXPECT_EQ(commandLine.Run({"verify", "--root", disc.Path(), "--keep-going"}, screen, screen), 1);
  const std::string text = screen.str();
  EXPECT_EQ(text.rfind("\r\x1b[K[1/2]", 0), 0u) << text;
  EXPECT_TRUE(Contains(text, "a.bin")) << text;
  EXPECT_TRUE(Contains(text, "\r\x1b[Ka.bin: wrong CRC-32")) << text;
  EXPECT_TRUE(Contains(text, "\r\x1b[K1 of 2 files failed")) << text;
}

#ifndef _WIN32
// crclist reads every byte there is, as the program does: a file that its list describes by the
// low 32 bits of its size, or one that grows while it is read, is no intact file to either.
// Sparse and grown files need POSIX; a memory file system reads the sparse one fast.
TEST(Verify, FailsAFileBeyondItsSizeAtOpeningAsTheProgramDoes) {
  Workspace disc(std::filesystem::is_directory("/dev/shm") ? "/dev/shm"
                                                           : std::filesystem::temp_directory_path());
  const std::string head = "abcde";
  std::filesystem::resize_file(std::filesystem::u8path(disc.Write("big.bin", head)),
                               (std::uint64_t{1} << 32) + head.size());
  const std::string grows(10000, 'g');
  disc.Write("grows.bin", grows);
  disc.Write("crclist.INF", "[DRIVEINFO]\r\nx\r\n[CDFILES]\r\nbig.bin,5," + CrcOf(head) +
                                "\r\ngrows.bin,10000," + CrcOf(grows) + "\r\n");
  bool grew = false;
  std::ostringstream out;
  const CommandLine commandLine(
      [&] {
        // The first poll after big.bin's failure is out comes after grows.bin's first read.
        if (!grew && Contains(out.str(), "big.bin:")) {
          std::ofstream(std::filesystem::u8path(disc.Path("grows.bin")), std::ios::app) << head;
          grew = true;
        }
        return false;
      },
      ProgressTerminal{});
  std::ostringstream err;
  EXPECT_EQ(commandLine.Run({"verify", disc.Path(), "--keep-going"}, out, err), 1);
  EXPECT_TRUE(Contains(out.str(), "big.bin: wrong CRC-32: listed " + CrcOf(head) + ", found ")) << out.str();
  EXPECT_TRUE(Contains(out.str(), "over the 4294967301 bytes read, where the list says 5\n")) << out.str();
  EXPECT_TRUE(Contains(out.str(), "grows.bin: wrong CRC-32: listed " + CrcOf(grows) + ", found " +
                                      CrcOf(grows + head) +
                                      " over the 10005 bytes read, where the list says 10000\n"))
      << out.str();
}
#endif
