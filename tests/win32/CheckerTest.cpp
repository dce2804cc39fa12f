#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "BoxAnswerer.h"
#include "WineTestSupport.h"
#include "../unit/TestFiles.h"
#include "checker/Checker.h"
#include "checklist/CheckList.h"
#include "platform/WideText.h"
#include "resources/ResourceIds.h"
#include "texts/Texts.h"
#include "ui/ProgressDialog.h"
#include "verify/Crc32.h"

namespace {

std::string Bytes(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 13 + 7);
  return bytes;
}

std::uint32_t CrcOf(const std::string& bytes) { return Crc32::Of(bytes.data(), bytes.size()); }

}  // namespace

TEST(Checker, VerifiesAFileAndShowsOpenAndSizeFailuresWithoutOwner) {
  TempFolder folder;
  const std::string bytes = Bytes(8193);
  const std::string path = folder.Write("data.bin", bytes);
  const std::string missing = folder.PathOf("missing.bin");

  struct Case {
    const char* what;
    std::string path;
    std::int32_t size;
    std::uint32_t crc;
    bool verified;
    std::string box;  // empty: no box
  };
  const Case cases[] = {
      {"intact", path, 8193, CrcOf(bytes), true, ""},
      {"another crc", path, 8193, CrcOf(bytes) + 1, false, ""},
      {"one byte short", path, 8192, CrcOf(bytes), false, path + texts::kSizeDiffers},
      {"missing", missing, 0, 0, false, missing + texts::kOpenFailed},
  };
  CheckList list;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ProgressDialog progress;
    progress.Open(TheMainWindow().windowHandle, list);
    BoxAnswerer answerer;
    EXPECT_EQ(TheChecker().VerifyFile(platform::Wide(c.path.c_str()).c_str(), c.size, c.crc, progress), c.verified);
    const std::vector<SeenBox> seen = answerer.Seen();
    if (c.box.empty()) {
      EXPECT_TRUE(seen.empty());
    } else {
      ASSERT_EQ(seen.size(), 1u);
      EXPECT_EQ(seen[0].text, c.box);
      EXPECT_EQ(seen[0].owner, nullptr);
    }
    progress.Close();
  }
}

TEST(Checker, MovesTheProgressBar) {
  TempFolder folder;
  const std::string bytes = Bytes(8193);
  CheckList list;
  ProgressDialog progress;
  progress.Open(TheMainWindow().windowHandle, list);
  ASSERT_TRUE(TheChecker().VerifyFile(platform::Wide(folder.Write("data.bin", bytes).c_str()).c_str(), 8193,
                                      CrcOf(bytes), progress));
  EXPECT_EQ(SendMessageA(GetDlgItem(progress.window, IDC_PROGRESS_BAR), PBM_GETPOS, 0, 0), 99);
  progress.Close();
}

TEST(Checker, StopsAtTheStopButtonWithoutABoxAndClosesTheFile) {
  TempFolder folder;
  const std::string bytes = Bytes(3 << 20);
  const std::string path = folder.Write("large.bin", bytes);
  CheckList list;
  ProgressDialog progress;
  progress.Open(TheMainWindow().windowHandle, list);
  // The first pump, after the first byte, presses the button.
  PostMessageA(progress.window, WM_COMMAND, MAKEWPARAM(IDC_STOP, BN_CLICKED), 0);
  BoxAnswerer answerer;
  EXPECT_FALSE(TheChecker().VerifyFile(platform::Wide(path.c_str()).c_str(), 3 << 20, CrcOf(bytes), progress));
  EXPECT_TRUE(progress.stopRequested);
  EXPECT_TRUE(answerer.Seen().empty());
  EXPECT_TRUE(std::filesystem::remove(path));
}

// Neither a 0x5C trail byte nor a letter that CP932 cannot write keeps a file from opening.
TEST(Checker, OpensFilesByTheirOwnNames) {
  TempFolder folder;
  const std::string bytes = Bytes(5000);
  CheckList list;
  ProgressDialog progress;
  progress.Open(TheMainWindow().windowHandle, list);
  for (const wchar_t* name : {L"\u8868.bin", L"Zo\u00EB.bin"}) {  // 表.bin, Zoë.bin
    SCOPED_TRACE(std::filesystem::path(name).u8string());
    const std::filesystem::path path = std::filesystem::path(folder.PathOf("")) / name;
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    EXPECT_TRUE(TheChecker().VerifyFile(path.wstring().c_str(), 5000, CrcOf(bytes), progress));
  }
  progress.Close();
}
