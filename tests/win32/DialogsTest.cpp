#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>

#include "WineTestSupport.h"
#include "checklist/CheckList.h"
#include "resources/ResourceIds.h"
#include "texts/Texts.h"
#include "ui/DriveSelectionDialog.h"
#include "ui/ModeChoiceDialog.h"

namespace {

std::string Caption(HWND window) {
  char text[256] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

void Command(HWND dialog, int id) { PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

}  // namespace

TEST(ModeChoiceDialog, RecordsTheButtonOrTheCloseBox) {
  struct Case {
    const char* what;
    std::function<void(HWND)> act;
    bool closed;
    CheckMode mode;
  };
  const Case cases[] = {
      {"files button", [](HWND d) { Command(d, IDC_CHECK_FILES); }, false, CheckMode::Installed},
      {"disc button", [](HWND d) { Command(d, IDC_CHECK_MEDIA); }, false, CheckMode::Media},
      {"close box", [](HWND d) { PostMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0); }, true, CheckMode::Media},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ModeChoiceDialog dialog;
    dialog.Open(TheMainWindow().windowHandle);
    ASSERT_NE(dialog.window, nullptr);
    EXPECT_EQ(GetWindow(dialog.window, GW_OWNER), TheMainWindow().windowHandle);
    Command(dialog.window, IDOK);
    Command(dialog.window, IDCANCEL);
    PumpFor(30);
    EXPECT_FALSE(dialog.finished);
    c.act(dialog.window);
    PumpFor(30);
    EXPECT_TRUE(dialog.finished);
    EXPECT_EQ(dialog.closed, c.closed);
    EXPECT_EQ(dialog.mode, c.mode);
    EXPECT_FALSE(IsWindow(dialog.window));
  }
}

TEST(ModeChoiceDialog, ShowsItsTextCaptionAndButtons) {
  CheckList list;
  ModeChoiceDialog dialog;
  dialog.Open(TheMainWindow().windowHandle);
  EXPECT_EQ(Caption(dialog.window), "\xC0\xDE\xB2\xB1\xDB\xB8\xDE");  // ﾀﾞｲｱﾛｸﾞ
  EXPECT_EQ(ControlText(dialog.window, IDC_CHECK_MEDIA), "CD/DVD\x82\xCC\x83`\x83\x46\x83\x62\x83N");
  EXPECT_EQ(ControlText(dialog.window, IDC_CHECK_FILES),
            "\x83t\x83@\x83" "C\x83\x8B\x82\xCC\x83`\x83\x46\x83\x62\x83N");  // ファイルのチェック
  dialog.SetText("line 1\nline 2\n");
  dialog.SetCaption(list);
  EXPECT_EQ(ControlText(dialog.window, IDC_MODE_TEXT), "line 1\nline 2\n");
  EXPECT_EQ(Caption(dialog.window), "");
  dialog.SetText("");
  EXPECT_EQ(ControlText(dialog.window, IDC_MODE_TEXT), "");
  PostMessageA(dialog.window, WM_CLOSE, 0, 0);
  PumpFor(30);
}

// The test prefix has no CD-ROM drive: the list is empty and OK yields the default root.
TEST(DriveSelectionDialog, YieldsTheDefaultRootWithoutCdRomDrives) {
  CheckList list;
  list.title = "T";
  DriveSelectionDialog dialog;
  dialog.Open(TheMainWindow().windowHandle, list);
  ASSERT_NE(dialog.window, nullptr);
  EXPECT_EQ(Caption(dialog.window), "T");
  EXPECT_EQ(ControlText(dialog.window, IDC_PROMPT), texts::kDefaultDrivePrompt);
  dialog.SetPrompt("prompt");
  EXPECT_EQ(ControlText(dialog.window, IDC_PROMPT), "prompt");
  EXPECT_EQ(SendMessageA(GetDlgItem(dialog.window, IDC_DRIVE_LIST), CB_GETCOUNT, 0, 0), 0);

  Command(dialog.window, IDCANCEL);
  PumpFor(30);
  EXPECT_FALSE(dialog.finished);
  Command(dialog.window, IDOK);
  PumpFor(30);
  EXPECT_TRUE(dialog.finished);
  EXPECT_FALSE(dialog.closed);
  EXPECT_EQ(dialog.selectedDrive, "D:\\");
}

TEST(DriveSelectionDialog, ClosedByItsCloseBox) {
  CheckList list;
  DriveSelectionDialog dialog;
  dialog.Open(TheMainWindow().windowHandle, list);
  EXPECT_EQ(Caption(dialog.window), "");
  PostMessageA(dialog.window, WM_SYSCOMMAND, SC_CLOSE, 0);
  PumpFor(30);
  EXPECT_TRUE(dialog.finished);
  EXPECT_TRUE(dialog.closed);
  EXPECT_EQ(dialog.selectedDrive, "D:\\");
}
