// Images that Windows reads, or refuses, in ways a mastering tool's faults bring about.

#ifndef _WIN32

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "RunCrclist.h"
#include "Workspace.h"

namespace {

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

std::string Utf16(const std::string& ascii) {
  std::string wide;
  for (const char c : ascii) wide += std::string(1, '\0') + c;
  return wide;
}

class DamagedImage : public ::testing::Test {
 protected:
  DamagedImage() : work(CRCLIST_TEST_IMAGES) {}

  // The folder's image with Joliet names, patched by change.
  template <typename Change>
  std::string Image(const std::vector<std::string>& names, Change change) {
    for (const std::string& name : names) work.Write("disc/" + name, name + " bytes");
    const std::string image = work.Path("disc.iso");
    const std::string command =
        "xorriso -as mkisofs -J -o '" + image + "' '" + work.Path("disc") + "' >/dev/null 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0);
    std::string bytes = work.Read("disc.iso");
    change(bytes);
    return work.Write("disc.iso", bytes);
  }

  std::string List(const std::string& entries) {
    return work.Write("list/crclist.INF", "[DRIVEINFO]\r\nx\r\n[CDFILES]\r\n" + entries);
  }

  Outcome Make(const std::string& image) {
    return RunCrclist({"make", "--image", image, "--drive-info", "x", "-o", work.Path("made.INF")});
  }

  Workspace work;
};

void Unchanged(std::string&) {}

const std::string kOkEntry = "SUB\\OK.TXT,16,0x";

TEST_F(DamagedImage, AFileWithoutANameIsAFindingAndMakeRefusesIt) {
  // A lone surrogate in its Joliet name: the entry has no name that reads.
  const std::string image = Image({"ok.txt", "zz.txt"}, [](std::string& bytes) {
    const std::size_t at = bytes.find(Utf16("zz.txt"));
    ASSERT_NE(at, std::string::npos);
    bytes.replace(at, 2, "\xD8\x00", 2);
  });
  const Outcome verified = RunCrclist({"verify", "--image", image, "--list", List("ok.txt,12,0\r\n")});
  EXPECT_EQ(verified.code, 1);
  EXPECT_TRUE(Contains(verified.err, "after \"ok.txt\", has no name that can be read: its folder "
                                     "record is damaged, so no list can name it [unlistable-name]"))
      << verified.err;
  EXPECT_TRUE(Contains(verified.out, "ok.txt: wrong CRC-32")) << verified.out;
  const Outcome made = Make(image);
  EXPECT_EQ(made.code, 2);
  EXPECT_TRUE(Contains(made.err, "has no name that can be read")) << made.err;
  EXPECT_FALSE(work.Exists("made.INF"));
  EXPECT_FALSE(work.Exists("made.INF.crclist-new"));
}

TEST_F(DamagedImage, ANameWithoutCp932FormFailsOnlyTheListThatNamesIt) {
  const std::string image = Image({"ok.txt", "価格€.txt", "波〜線.txt"}, Unchanged);
  const Outcome other = RunCrclist({"verify", "--image", image, "--list", List("ok.txt,12,0\r\n")});
  EXPECT_EQ(other.code, 1);
  EXPECT_TRUE(Contains(other.out, "ok.txt: wrong CRC-32")) << other.out;
  EXPECT_TRUE(Contains(other.err, "\"価格€.txt\" in " + image + " cannot be listed: its \"€\" has "
                                  "no CP932 form")) << other.err;
  // What a hand-written list holds for "波〜線.txt": "～", the only CP932 form of "〜".
  const Outcome naming = RunCrclist({"verify", "--image", image, "--list",
                                     List("\x94\x67\x81\x60\x90\xFC.txt,16,0\r\n")});
  EXPECT_EQ(naming.code, 1);
  EXPECT_TRUE(Contains(naming.out, "波～線.txt: missing or cannot be opened: the image holds "
                                   "\"波〜線.txt\" instead: its \"〜\" has a CP932 form only as "
                                   "\"～\", which reads back as another character")) << naming.out;
  const Outcome made = Make(image);
  EXPECT_EQ(made.code, 2);
  EXPECT_TRUE(Contains(made.err, "\"価格€.txt\" cannot be listed")) << made.err;
  EXPECT_TRUE(Contains(made.err, "\"波〜線.txt\" cannot be listed")) << made.err;
}

TEST_F(DamagedImage, NamesThatWindowsTakesForOneFailMakeAndTheListThatNamesThem) {
  struct Case {
    const char* what;
    std::vector<std::string> names;
    void (*change)(std::string&);
    std::string said;
  };
  const std::vector<Case> cases = {
      {"case twins", {"Readme.txt", "README.TXT"}, Unchanged,
       "\"README.TXT\" and \"Readme.txt\", which differ only in letter case: Windows opens one "
       "file for both names"},
      {"one name twice", {"Readme.txt", "Readme.txu"},
       [](std::string& bytes) {
         for (std::size_t at; (at = bytes.find(Utf16("Readme.txu"))) != std::string::npos;) {
           bytes[at + 19] = 't';
         }
       },
       "\"Readme.txt\" and \"Readme.txt\", two files under one name"},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.what);
    const std::string image = Image(row.names, row.change);
    const Outcome made = Make(image);
    EXPECT_EQ(made.code, 2);
    EXPECT_TRUE(Contains(made.err, "crclist: " + image + ": the disc holds " + row.said))
        << made.err;
    List("Readme.txt,16,0\r\n");
    // LIST may be the folder that holds crclist.INF.
    const Outcome verified = RunCrclist({"verify", work.Path("list"), "--image", image});
    EXPECT_EQ(verified.code, 1);
    EXPECT_TRUE(Contains(verified.out, "Readme.txt: the disc holds " + row.said)) << verified.out;
    std::filesystem::remove_all(work.Path("disc"));
  }
}

TEST_F(DamagedImage, TheJolietTreeDecidesWhateverThePlainTreeHolds) {
  const std::string image = Image({"SUB/OK.TXT"}, [](std::string& bytes) {
    // The plain root folder's record of SUB, 33 bytes before its name, gives SUB's sector.
    const std::size_t record = bytes.find("\x03SUB") - 32;
    const auto sector = static_cast<unsigned char>(bytes[record + 2]) |
                        static_cast<unsigned char>(bytes[record + 3]) << 8;
    bytes.replace(static_cast<std::size_t>(sector) * 2048, 2048, std::string(2048, '\x5A'));
  });
  const Outcome made = Make(image);
  EXPECT_EQ(made.code, 0) << made.err;
  EXPECT_TRUE(Contains(work.Read("made.INF"), kOkEntry));
}

TEST_F(DamagedImage, RefusalsSayWhyWithTheImagesName) {
  const Outcome absent = Make(work.Path("absent.iso"));
  EXPECT_EQ(absent.code, 2);
  EXPECT_TRUE(Contains(absent.err, work.Path("absent.iso") +
                                       ": cannot be opened: No such file or directory"))
      << absent.err;
  // An image cut short inside a file's data fails that file alone.
  const std::string image = Image({"ok.txt", "other.txt"}, [](std::string& bytes) {
    bytes.resize(bytes.find("other.txt bytes") + 5);
  });
  const Outcome made = Make(image);
  EXPECT_EQ(made.code, 2);
  EXPECT_TRUE(Contains(made.err, "other.txt: unreadable at byte 0: the image ends before the "
                                 "file's end")) << made.err;
  const Outcome verified = RunCrclist({"verify", "--image", image, "--list", List("ok.txt,12,0\r\n")});
  EXPECT_TRUE(Contains(verified.out, "ok.txt: wrong CRC-32")) << verified.out;
}

}  // namespace

#endif
