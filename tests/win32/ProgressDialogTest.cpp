#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>

#include "WineTestSupport.h"
#include "checklist/CheckList.h"
#include "resources/ResourceIds.h"
#include "texts/Texts.h"
#include "ui/ProgressDialog.h"

namespace {

// サンプル
const char kJapaneseTitle[] = "\x83T\x83\x93\x83v\x83\x8B";

std::string Caption(HWND window) {
  char text[256] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

std::string FontName(HWND window) {
  LOGFONTA font = {};
  GetObjectA(reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0)), sizeof font, &font);
  return font.lfFaceName;
}

}  // namespace

TEST(ProgressDialog, OpensWithTheTitleAsCaptionAndShowsItsTexts) {
  for (const char* title : {kJapaneseTitle, ""}) {
    CheckList list;
    list.title = title;
    ProgressDialog dialog;
    dialog.Open(TheMainWindow().windowHandle, list);
    ASSERT_NE(dialog.window, nullptr);
    EXPECT_TRUE(IsWindowVisible(dialog.window));
    EXPECT_EQ(Caption(dialog.window), title);
    EXPECT_EQ(ControlText(dialog.window, IDC_STATUS), texts::kProcessing);
    EXPECT_EQ(ControlText(dialog.window, IDC_STOP), "\x92\xE2\x8E~");  // 停止
    EXPECT_EQ(FontName(dialog.window), "\x82l\x82r \x82o\x83S\x83V\x83" "b\x83N");  // ＭＳ Ｐゴシック

    dialog.ShowFile(L"E:\\gamedata\\a.bin");
    EXPECT_EQ(ControlText(dialog.window, IDC_STATUS), std::string(texts::kProcessing) + "\nE:\\gamedata\\a.bin");
    dialog.ShowFile(L"");
    EXPECT_EQ(ControlText(dialog.window, IDC_STATUS), std::string(texts::kProcessing) + "\n");
    dialog.SetFileCount(3, 10);
    // のこり(3/10)ファイル
    EXPECT_EQ(ControlText(dialog.window, IDC_FILE_COUNT), "\x82\xCC\x82\xB1\x82\xE8(3/10)\x83t\x83@\x83" "C\x83\x8B");
    dialog.SetPercent(42);
    EXPECT_EQ(SendMessageA(GetDlgItem(dialog.window, IDC_PROGRESS_BAR), PBM_GETPOS, 0, 0), 42);
    dialog.Close();
  }
}

TEST(ProgressDialog, StopsByButtonByCloseBoxAndByClose) {
  const std::pair<const char*, std::function<void(ProgressDialog&)>> ways[] = {
      {"stop button", [](ProgressDialog& d) { PostMessageA(d.window, WM_COMMAND, MAKEWPARAM(IDC_STOP, BN_CLICKED), 0); }},
      {"close box", [](ProgressDialog& d) { PostMessageA(d.window, WM_SYSCOMMAND, SC_CLOSE, 0); }},
      {"Close", [](ProgressDialog& d) { d.Close(); }},
  };
  CheckList list;
  for (const auto& [what, stop] : ways) {
    SCOPED_TRACE(what);
    ProgressDialog dialog;
    dialog.Open(TheMainWindow().windowHandle, list);
    PumpFor(30);
    EXPECT_FALSE(dialog.stopRequested);
    stop(dialog);
    PumpFor(30);
    EXPECT_TRUE(dialog.stopRequested);
    EXPECT_FALSE(IsWindow(dialog.window));
  }
}

TEST(ProgressDialog, IgnoresOtherCommands) {
  CheckList list;
  ProgressDialog dialog;
  dialog.Open(TheMainWindow().windowHandle, list);
  PostMessageA(dialog.window, WM_COMMAND, IDCANCEL, 0);
  PostMessageA(dialog.window, WM_COMMAND, IDOK, 0);
  PumpFor(30);
  EXPECT_FALSE(dialog.stopRequested);
  EXPECT_TRUE(IsWindow(dialog.window));
  dialog.Close();
}
