#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RunCrclist.h"
#include "Workspace.h"

namespace {

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

}  // namespace

#ifdef _WIN32

TEST(Image, TheWindowsBuildSaysItCannotReadImages) {
  Workspace workspace;
  const std::string image = workspace.Write("disc.iso", std::string(40000, '\0'));
  const std::string list = workspace.Write("crclist.INF", "[DRIVEINFO]\r\nx\r\n");
  const std::vector<std::vector<std::string>> commands = {
      {"verify", "--image", image},
      {"verify", "--image", image, "--list", list},
      {"lint", list, "--image", image},
      {"make", "--image", image, "--drive-info", "x", "-o", workspace.Path("made.INF")},
  };
  for (const std::vector<std::string>& arguments : commands) {
    SCOPED_TRACE(arguments[0]);
    const Outcome outcome = RunCrclist(arguments);
    EXPECT_EQ(outcome.code, 2);
    EXPECT_TRUE(Contains(outcome.err, "cannot read disc images")) << outcome.err;
  }
  EXPECT_FALSE(workspace.Exists("made.INF"));
}

#else

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/Platform.h"

namespace {

namespace fs = std::filesystem;

// Files of a disc as they stand in a folder: names with Japanese, half-width katakana, 0x5C as a
// trail byte and a space, a nested gamedata folder; bytes of each file its own.
const std::vector<std::string> kDiscFiles = {
    "setup.dat", "Read Me.txt", "ソフト説明.txt", "日本語/データ.bin",
    "gamedata/stage/map01.dat", "gamedata/ｶﾅ/ソ.bin",
};

std::string ContentsOf(const std::string& name, std::size_t size) {
  std::string bytes = name + ":";
  for (std::size_t i = 0; bytes.size() < size; ++i) bytes += static_cast<char>('a' + i * 7 % 26);
  return bytes;
}

void Xorriso(const std::string& arguments) {
  const std::string command = "xorriso " + arguments + " >/dev/null 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

// Images made by xorriso, in the build tree.
class Image : public ::testing::Test {
 protected:
  Image() : work(fs::path(CRCLIST_TEST_IMAGES)) {}

  // The disc folder with its list made by crclist, and its image with Joliet and Rock Ridge
  // names, the way discs are mastered on Linux.
  void SetUp() override {
    for (const std::string& name : kDiscFiles) {
      work.Write("disc/" + name, ContentsOf(name, name.size() * 30000));
    }
    const Outcome made = RunCrclist({"make", work.Path("disc"), "--drive-info", "x", "--title", "t"});
    ASSERT_EQ(made.code, 0) << made.err;
    Xorriso("-as mkisofs -J -r -o '" + work.Path("joliet.iso") + "' '" + work.Path("disc") +
        "'");
  }

  // An image with plain ISO 9660 names only, written as CP932 bytes, as Japanese mastering
  // tools wrote them.
  std::string PlainImage() {
    const fs::path folder = work.Path("cp932");
    for (const std::string& name : kDiscFiles) {
      std::string cp932;
      EXPECT_TRUE(platform::Utf8ToCp932(name, cp932));
      fs::create_directories((folder / cp932).parent_path());
      fs::copy_file(fs::u8path(work.Path("disc/" + name)), folder / cp932);
    }
    const std::string image = work.Path("plain.iso");
    Xorriso("-local_charset CP932 -out_charset CP932 -outdev '" + image +
        "' -joliet off -rockridge off -compliance untranslated_names -map '" + folder.string() +
        "' / -commit");
    return image;
  }

  // A copy of the Joliet image with one byte changed inside the data of the named disc file.
  std::string ImageWithByteChanged(const std::vector<std::string>& names) {
    std::string bytes = work.Read("joliet.iso");
    for (const std::string& name : names) {
      const std::size_t at = bytes.find(ContentsOf(name, 200));
      EXPECT_NE(at, std::string::npos) << name;
      bytes[at + 100] = static_cast<char>(bytes[at + 100] ^ 0x04);
    }
    return work.Write("changed.iso", bytes);
  }

  Workspace work;
};

}  // namespace

TEST_F(Image, VerifiesTheImageAgainstItsOwnListWithJolietOrPlainCp932Names) {
  const Outcome joliet = RunCrclist({"verify", "--image", work.Path("joliet.iso")});
  EXPECT_EQ(joliet.code, 0) << joliet.out << joliet.err;
  EXPECT_EQ(joliet.out.rfind("all 6 files verified: 4 CDFILES, 2 GAMEDATA\n", 0), 0u) << joliet.out;

  const std::string plain = PlainImage();
  const Outcome cp932 =
      RunCrclist({"verify", "--image", plain, "--list", work.Path("disc/crclist.INF")});
  EXPECT_EQ(cp932.code, 0) << cp932.out << cp932.err;
  EXPECT_EQ(cp932.out.rfind("all 6 files verified: 4 CDFILES, 2 GAMEDATA\n", 0), 0u) << cp932.out;
}

// Windows decodes plain ISO 9660 names with its OEM code page: only a Japanese one reads CP932.
TEST_F(Image, LintNamesPlainNamesBeyondAsciiThatOnlyAJapaneseWindowsShows) {
  const Outcome plain = RunCrclist({"lint", work.Path("disc/crclist.INF"), "--image", PlainImage()});
  EXPECT_EQ(plain.code, 1);
  EXPECT_TRUE(Contains(plain.out, "\"gamedata\\ｶﾅ\\ソ.bin\" and 2 other names have bytes beyond "
                                  "ASCII in a plain ISO 9660 name")) << plain.out;
  EXPECT_TRUE(Contains(plain.out, "only a Japanese Windows shows them as listed [oem-names]"));
  const Outcome joliet =
      RunCrclist({"lint", work.Path("disc/crclist.INF"), "--image", work.Path("joliet.iso")});
  EXPECT_EQ(joliet.code, 0) << joliet.out;
}

// Without Joliet a Windows drive shows the plain names, which xorriso writes in capitals and with
// "_" for what they cannot hold; the Rock Ridge names, exact as they are, must not be taken.
TEST_F(Image, MatchesNamesWithoutRegardToCaseAndPassesOverRockRidgeNames) {
  const std::string image = work.Path("rockridge.iso");
  Xorriso("-as mkisofs -r -o '" + image + "' '" + work.Path("disc") + "'");
  const Outcome outcome = RunCrclist(
      {"verify", "--image", image, "--list", work.Path("disc/crclist.INF"), "--keep-going"});
  EXPECT_EQ(outcome.code, 1);
  const std::string missing = ": missing or cannot be opened: the image holds no file of that name\n";
  EXPECT_EQ(outcome.out,
            "Read Me.txt" + missing + "ソフト説明.txt" + missing + "日本語/データ.bin" + missing +
                "gamedata/ｶﾅ/ソ.bin" + missing +
                "4 of 6 files failed; verified: 1 CDFILES, 1 GAMEDATA\n")
      << outcome.err;
}

// The image lays out gamedata before setup.dat, the list the other way round: the first failure
// is still the list's.
TEST_F(Image, NamesAChangedByteAndStopsAtTheListsFirstFailure) {
  const std::string changed = ImageWithByteChanged({"setup.dat", "gamedata/stage/map01.dat"});
  const Outcome first = RunCrclist({"verify", "--image", changed});
  EXPECT_EQ(first.code, 1);
  EXPECT_EQ(first.out.rfind("setup.dat: wrong CRC-32: listed 0x", 0), 0u) << first.out;
  EXPECT_FALSE(Contains(first.out, "map01")) << first.out;

  const Outcome every = RunCrclist({"verify", "--image", changed, "--keep-going"});
  EXPECT_EQ(every.code, 1);
  const std::size_t setup = every.out.find("setup.dat: wrong CRC-32");
  const std::size_t map = every.out.find("gamedata/stage/map01.dat: wrong CRC-32");
  EXPECT_LT(setup, map) << every.out;
  EXPECT_NE(map, std::string::npos) << every.out;
  EXPECT_TRUE(Contains(every.out, "2 of 6 files failed; verified: 3 CDFILES, 1 GAMEDATA\n"))
      << every.out;
}

// The list made of an image is the list made of its folder, from Joliet or plain CP932 names.
TEST_F(Image, MakesTheListItsFolderGives) {
  const std::string fromFolder = work.Read("disc/crclist.INF");
  for (const std::string& image : {work.Path("joliet.iso"), PlainImage()}) {
    SCOPED_TRACE(image);
    const std::string made = work.Path("made.INF");
    const Outcome outcome = RunCrclist({"make", "--image", image, "--drive-info", "x", "--title", "t", "-o", made});
    EXPECT_EQ(outcome.code, 0) << outcome.err;
    EXPECT_EQ(outcome.out, "wrote " + made + ": 4 CDFILES, 2 GAMEDATA and 0 REG entries\n");
    EXPECT_EQ(work.Read("made.INF"), fromFolder);
  }
  const Outcome noOutput = RunCrclist({"make", "--image", work.Path("joliet.iso")});
  EXPECT_EQ(noOutput.code, 2);
  EXPECT_TRUE(Contains(noOutput.err, "--image needs -o")) << noOutput.err;
}

// Joliet names hold 64 characters: xorriso shortens a longer name and keeps its extension.
TEST_F(Image, LintNamesWhatTheImageShortenedAndWhatItLacks) {
  const std::string japanese = "あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめも";
  const std::string longName = japanese + " long name past the Joliet limit.bin";
  work.Write("disc/" + longName, "long");
  std::string listName;
  ASSERT_TRUE(platform::Utf8ToCp932(longName, listName));
  std::string list = work.Read("disc/crclist.INF");
  list.insert(list.find("[GAMEDATA]"), "\"" + listName + "\",4,0x12345678\r\nabsent.bin,1,0\r\n");
  const std::string listPath = work.Write("long.INF", list);
  Xorriso("-as mkisofs -J -r -o '" + work.Path("long.iso") + "' '" + work.Path("disc") + "'");

  const Outcome outcome = RunCrclist({"lint", listPath, "--image", work.Path("long.iso")});
  EXPECT_EQ(outcome.code, 1);
  // What xorriso 1.5 keeps: 61 characters and the extension.
  const std::string shortened = japanese + " long name past the Joliet.bin";
  EXPECT_TRUE(Contains(outcome.out, "\"" + longName + "\" is not found in " +
                                        work.Path("long.iso") + ", which holds it shortened to \"" +
                                        shortened + "\": the name is longer than the 64 "
                                        "characters that Joliet names may have [shortened-name]"))
      << outcome.out;
  EXPECT_TRUE(Contains(outcome.out, "\"absent.bin\" is not found in " + work.Path("long.iso") +
                                        " [missing-file]"))
      << outcome.out;
  EXPECT_TRUE(Contains(outcome.out, ": 2 findings\n")) << outcome.out;
}

TEST_F(Image, RefusesWhatIsNoImage) {
  const std::string notAnImage = work.Write("notes.txt", std::string(100000, 'x'));
  const std::vector<std::vector<std::string>> commands = {
      {"verify", "--image", notAnImage},
      {"verify", "--image", work.Path("absent.iso")},
      {"verify", "--image", notAnImage, "--list", work.Path("disc/crclist.INF")},
      {"lint", work.Path("disc/crclist.INF"), "--image", notAnImage},
      {"make", "--image", notAnImage, "-o", work.Path("made.INF")},
      {"verify", "--image", notAnImage, "--root", work.Path("disc")},
  };
  for (const std::vector<std::string>& arguments : commands) {
    SCOPED_TRACE(arguments[0] + " " + arguments[2]);
    const Outcome outcome = RunCrclist(arguments);
    EXPECT_EQ(outcome.code, 2);
    EXPECT_FALSE(outcome.err.empty());
  }
  EXPECT_FALSE(work.Exists("made.INF"));
}

#endif
