#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "Lists.h"
#include "RunCrclist.h"
#include "Workspace.h"
#include "lists/Linter.h"

namespace {

// "line:column tag" for each finding, or "file tag" for one about the whole file.
std::vector<std::string> Found(const std::string& bytes) {
  const Linter linter(bytes);
  std::vector<std::string> found;
  for (const Finding& finding : linter.Findings()) {
    const std::string where =
        finding.offset == Finding::kWholeFile ? "file" : linter.Lines().PositionOf(finding.offset);
    found.push_back(where + " " + Finding::TagOf(finding.kind));
  }
  return found;
}

std::string Repeated(const std::string& text, std::size_t times) {
  std::string repeated;
  for (std::size_t i = 0; i < times; ++i) repeated += text;
  return repeated;
}

// A title and a drive prompt, so that only the trap after them is found; it fills lines 1 to 4.
const std::string kFine = "[TITLE]\r\nT\r\n[DRIVEINFO]\r\nD\r\n";

struct LintCase {
  const char* what;
  std::string bytes;
  std::vector<std::string> found;
};

}  // namespace

TEST(Linter, FindsEachTrapWhereItStands) {
  const std::vector<LintCase> cases = {
      {"a clean list", kFine + "[CDFILES]\r\n\"read me.txt\",12,0x1F2E3D4C\r\n", {}},
      {"':' in a message",
       kFine + "[MESSAGE]\r\nTime:\r\n",
       {"6:5 invalid-byte", "6:5 several-values"}},
      {"half-width katakana in a name",
       kFine + "[CDFILES]\r\n\xB1\xB2,1,2\r\n",
       {"6:1 invalid-byte", "6:2 invalid-byte", "6:2 load-fails"}},
      {"a name that starts with a full stop",
       kFine + "[CDFILES]\r\n.hidden,1,2\r\n",
       {"6:1 invalid-byte", "6:2 load-fails"}},
      {"an unquoted name with a space",
       kFine + "[CDFILES]\r\nread me.txt,1,2\r\n",
       {"6:6 load-fails"}},
      {"a section name in lower case", kFine + "[cdfiles]\r\na,1,2\r\n", {"5:2 unknown-section"}},
      {"a section name missing a letter",
       kFine + "[GAMEDAT]\r\na,1,2\r\n",
       {"5:2 unknown-section"}},
      {"a name that climbs out of the disc",
       kFine + "[CDFILES]\r\n\"..\\..\\etc\\hostname\",1,2\r\n",
       {"6:1 leaves-disc"}},
      {"an absolute name",
       kFine + "[GAMEDATA]\r\n\"\\etc\\hostname\",1,2\r\n",
       {"6:1 leaves-disc"}},
      {"a name with a drive", kFine + "[CDFILES]\r\n\"C:\\x.bin\",1,2\r\n", {"6:1 leaves-disc"}},
      {"dots inside a name", kFine + "[CDFILES]\r\na..b\\c..,1,2\r\n", {}},
      {"a path of 256 characters from the root",
       kFine + "[GAMEDATA]\r\n" + std::string(247, 'a') + ",1,2\r\n",
       {}},
      {"a path of 257 characters from the root",
       kFine + "[GAMEDATA]\r\n" + std::string(248, 'a') + ",1,2\r\n",
       {"6:1 path-too-long"}},
      {"200 double-byte characters in 400 bytes",
       kFine + "[CDFILES]\r\n" + Repeated("\x83\x40", 200) + ",1,2\r\n",
       {}},
      {"names that differ only in case",
       kFine + "[CDFILES]\r\nData.bin,1,2\r\ngamedata\\x,1,2\r\n[GAMEDATA]\r\nX,1,2\r\n"
               "[CDFILES]\r\nDATA.BIN,1,2\r\n",
       {"9:1 case-duplicate", "11:1 case-duplicate"}},
      {"a trail byte that is a letter",
       kFine + "[CDFILES]\r\n\x83\x41,1,2\r\n\x83\x61,1,2\r\n",
       {}},
      {"a '[' inside a text", kFine + "[MESSAGE]\r\nSee [notes]\r\n", {"6:6 unknown-section"}},
      {"text before the first section", "junk\r\n" + kFine, {"1:1 outside-section"}},
      {"a last word without a line end", kFine + "[MESSAGE]\r\nA\r\nB", {"7:1 dropped-word"}},
      {"a last quoted string cut by the end",
       kFine + "[MESSAGE]\r\n\"A\r\n",
       {"6:1 unclosed-quote"}},
      {"a closing quote missing mid-file",
       kFine + "[MESSAGE]\r\n\"A\r\nB\"\r\n",
       {"6:1 quote-over-lines"}},
      {"a size with trailing letters",
       kFine + "[CDFILES]\r\na,12kb,2\r\n",
       {"6:3 size-not-decimal"}},
      {"a size of 4 GiB", kFine + "[CDFILES]\r\na,4294967296,2\r\n", {"6:3 size-not-decimal"}},
      {"a crc with trailing letters", kFine + "[GAMEDATA]\r\na,1,12zz\r\n", {"6:5 crc-not-hex"}},
      {"a crc of nine digits",
       kFine + "[REG]\r\na,1,123456789\r\n[GAME]\r\nK\r\n",
       {"6:5 crc-not-hex"}},
      {"a crc without a hex digit", kFine + "[CDFILES]\r\na,1,zz\r\n", {"6:5 load-fails"}},
      {"the end where a crc belongs", kFine + "[CDFILES]\r\na,1,", {"6:5 load-fails"}},
      {"a header without ']'", kFine + "[TITLE x\r\n", {"5:8 load-fails"}},
      {"a missing DRIVEINFO", "[TITLE]\r\nT\r\n", {"file no-driveinfo"}},
      {"a missing TITLE", "[DRIVEINFO]\r\nD\r\n", {"file no-title"}},
      {"REG entries without GAME", kFine + "[REG]\r\nExe,1,2\r\n", {"file reg-without-game"}},
      {"a duplicate entry",
       kFine + "[CDFILES]\r\na,1,2\r\nb,1,2\r\na,3,4\r\n",
       {"8:1 duplicate-entry"}},
      {"a title with a space",
       "[TITLE]\r\nSample Game\r\n[DRIVEINFO]\r\nD\r\n",
       {"2:8 several-values"}},
      {"a prompt with spaces",
       "[TITLE]\r\nT\r\n[DRIVEINFO]\r\nPick a drive\r\n",
       {"4:6 several-values"}},
      {"punctuation as a line", kFine + "[MESSAGE]\r\nA\r\n-\r\n", {"7:1 punctuation-value"}},
      {"0xFF between entries", kFine + "[CDFILES]\r\na,1,2\r\n\xFF\r\nb,3,4\r\n", {"7:1 load-fails"}},
      {"0xFF padding at the end", kFine + "[CDFILES]\r\na,1,2\r\n\xFF\xFF\r\n\xFF", {}},
      {"a word cut by 0xFF padding", kFine + "[MESSAGE]\r\nA\xFF\r\n", {"6:1 dropped-word"}},
      {"a word cut by 0xFF with more behind",
       kFine + "[MESSAGE]\r\nA\xFF B\r\n",
       {"6:1 dropped-word", "6:2 load-fails"}},
      {"a quote cut by 0xFF with more behind",
       kFine + "[MESSAGE]\r\n'A\xFF\r\nB\r\n",
       {"6:1 unclosed-quote", "6:3 load-fails"}},
      {"0xFF where a size belongs", kFine + "[CDFILES]\r\na,\xFF,2\r\n", {"6:3 load-fails"}},
      {"0xFF padding where a size belongs", kFine + "[CDFILES]\r\na,\xFF\xFF\r\n", {"6:3 load-fails"}},
      {"a lead byte that takes a space", kFine + "[MESSAGE]\r\n\x83 x\r\n", {"6:1 stray-byte"}},
      {"a '[' at the end", kFine + "[", {"5:1 unknown-section"}},
      {"an empty file", "", {"file load-fails"}},
  };
  for (const LintCase& lintCase : cases) {
    SCOPED_TRACE(lintCase.what);
    EXPECT_EQ(Found(lintCase.bytes), lintCase.found);
  }
}

TEST(Linter, TellsAUtf8FileFromACp932One) {
  const std::vector<std::string> utf8 =
      Found("[TITLE]\r\n\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88\r\n[DRIVEINFO]\r\nD\r\n");
  ASSERT_FALSE(utf8.empty());
  EXPECT_EQ(utf8[0], "2:1 utf8-text");
  EXPECT_EQ(Found("[TITLE]\r\n\x83\x65\x83\x58\x83\x67\r\n[DRIVEINFO]\r\nD\r\n"),
            std::vector<std::string>{});
}

// Every load that fails must say where, or lint passes a list the program cannot use.
TEST(Linter, ReportsEveryFailedLoad) {
  const std::vector<std::string> fragments = {
      "[TITLE]", "[GAME]", "[REG]", "[CDFILES]", "[GAMEDATA]", "[MESSAGE]", "[DRIVEINFO]",
      "[X]",     "[",      "]",     "a.bin",     "\"q s\"",    "'",         ",",
      "a,1,",    "b,2,3 ", "12",    "12kb",      "0x1F",       "zz",        ":",
      "-",       " ",      "\r\n",  "\xFF",      "\x83\x5C",   "\xB1",
  };
  std::mt19937 random(7);
  for (int round = 0; round < 1500; ++round) {
    std::string bytes;
    for (std::size_t count = random() % 14; count > 0; --count) {
      bytes += fragments[random() % fragments.size()];
    }
    const Linter linter(bytes);
    bool failureFound = false;
    for (const Finding& finding : linter.Findings()) {
      failureFound |= finding.kind == FindingKind::LoadFails;
    }
    ASSERT_EQ(failureFound, !linter.Loads()) << testing::PrintToString(bytes);
  }
}

TEST(Lint, ReportsFindingsWithTheirPlaceAndExitsByWhatItFound) {
  Workspace workspace;
  const std::string clean = workspace.Write("clean.INF", kFine);
  const Outcome nothing = RunCrclist({"lint", clean});
  EXPECT_EQ(nothing.code, 0);
  EXPECT_EQ(nothing.out, clean + ": nothing found\n");

  const std::string broken =
      workspace.Write("broken.INF", "[TITLE]\r\nT\r\n[CDFILES]\r\na,12kb,2\r\n");
  const Outcome found = RunCrclist({"lint", broken});
  EXPECT_EQ(found.code, 1);
  EXPECT_EQ(found.out,
            broken +
                ":4:3: the size \"12kb\" is not plain decimal digits below 4 GiB: it reads as 12 "
                "[size-not-decimal]\n" +
                broken +
                ": no DRIVEINFO value: Disksentry's disc check stops with an error before "
                "any file [no-driveinfo]\n" +
                broken + ": 2 findings\n");

  EXPECT_EQ(RunCrclist({"lint", workspace.Path("absent.INF")}).code, 2);
  EXPECT_EQ(RunCrclist({"lint", workspace.Path()}).code, 2);
  EXPECT_EQ(RunCrclist({"lint", clean, "--root", workspace.Path("absent")}).code, 2);
  EXPECT_EQ(RunCrclist({"lint"}).code, 2);
}

TEST(Lint, FindsListedFilesMissingOrOfAnotherSizeUnderTheRoot) {
  EXPECT_EQ(RunCrclist({"lint", SampleDisc("crclist.INF"), "--root", SampleDisc()}).code, 0);

  Workspace disc;
  disc.Write("a.bin", "a");
  disc.Write("ソ/b.bin", "four");
  const std::string list = disc.Write(
      "crclist.INF",
      kFine +
          "[CDFILES]\r\na.bin,1,0xE8B7BE43\r\n\x83\x5C\\b.bin,5,0\r\n[GAMEDATA]\r\nc.bin,1,0\r\n");
  const Outcome outcome = RunCrclist({"lint", list, "--root", disc.Path()});
  EXPECT_EQ(outcome.code, 1);
  EXPECT_NE(outcome.out.find(":7:1: \"ソ\\b.bin\" has 4 bytes under " + disc.Path() +
                             ", the list says 5 [size-differs]"),
            std::string::npos)
      << outcome.out;
  EXPECT_NE(outcome.out.find(":9:1: \"gamedata\\c.bin\" is not found under " + disc.Path() +
                             " [missing-file]"),
            std::string::npos)
      << outcome.out;
  EXPECT_NE(outcome.out.find(": 2 findings\n"), std::string::npos) << outcome.out;
}

// With a root, lint finds what a case-sensitive copy of the disc would lose and what the list
// leaves out; the list itself is no disc file.
TEST(Lint, FindsNamesThatMatchOnlyInAnotherCaseAndFilesLeftOut) {
  Workspace disc;
  disc.Write("a.bin", "a");
  disc.Write("Movie/Intro.MPG", "m");
  disc.Write("gamedata/b.bin", "b");
  disc.Write("gamedata/extra.bin", "e");
  disc.Write("readme.txt", "r");
  const std::string list =
      disc.Write("lists/crclist.INF",
                 kFine +
                     "[CDFILES]\r\na.bin,1,0xE8B7BE43\r\nmovie\\intro.mpg,1,0\r\n[GAMEDATA]\r\n"
                     "b.bin,1,0x71BEEFF9\r\n");
  const Outcome outcome = RunCrclist({"lint", list, "--root", disc.Path()});
  EXPECT_EQ(outcome.code, 1);
  EXPECT_EQ(outcome.out,
            list + ":7:1: \"movie\\intro.mpg\" is found under " + disc.Path() +
                " only as \"Movie\\Intro.MPG\": Windows opens it, Linux and other case-sensitive "
                "systems do not [case-only-match]\n" +
                list + ": \"gamedata\\extra.bin\" under " + disc.Path() +
                " is left out of the list: Disksentry never checks it [unlisted-file]\n" + list +
                ": \"readme.txt\" under " + disc.Path() +
                " is left out of the list: Disksentry never checks it [unlisted-file]\n" + list +
                ": 3 findings\n");
}

// Some characters have two CP932 codes (NEC's row 13, the NEC-selected IBM rows, the IBM rows),
// and the disc's listing writes each with one of them. A list's name in the other code decodes to
// the disc's very name, which Linux opens: no finding, unless the letters differ in case too.
TEST(Lint, TakesANameInEitherOfTwoCodesForTheDiscsOwn) {
  struct Case {
    const char* what;
    std::string listed;  // CP932
    std::string onDisc;  // UTF-8
    bool caseOnly;
  };
  const std::vector<Case> cases = {
      {"the listing's own code", "\x81\xE0", "≒", false},
      {"NEC row 13 for JIS row 2's", "\x87\x90", "≒", false},
      {"NEC row 13 for JIS row 2's", "\x87\x9A", "∵", false},
      {"NEC-selected IBM for IBM's", "\xED\x40", "纊", false},
      {"NEC-selected IBM for IBM's", "\xEE\xEF", "ⅰ", false},
      {"NEC-selected IBM for JIS row 2's", "\xEE\xF9", "￢", false},
      {"IBM for NEC row 13's", "\xFA\x4A", "Ⅰ", false},
      {"IBM for NEC row 13's", "\xFA\x58", "㈱", false},
      {"IBM for JIS row 2's", "\xFA\x5B", "∵", false},
      {"NEC-selected IBM in another case", "\xEE\xEF", "Ⅰ", true},
      {"IBM in another case", "\xFA\x4A", "ⅰ", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what + std::string(": ") + c.onDisc);
    Workspace disc;
    disc.Write(c.onDisc + ".bin", "a");
    const std::string list =
        disc.Write("crclist.INF", kFine + "[CDFILES]\r\n" + c.listed + ".bin,1,0xE8B7BE43\r\n");
    const Outcome outcome = RunCrclist({"lint", list, "--root", disc.Path()});
    EXPECT_EQ(outcome.code, c.caseOnly ? 1 : 0) << outcome.out;
    const std::string finding = " only as \"" + c.onDisc + ".bin\": Windows opens it, Linux and " +
                                "other case-sensitive systems do not [case-only-match]\n";
    EXPECT_EQ(outcome.out.find(finding) != std::string::npos, c.caseOnly) << outcome.out;
  }
}
