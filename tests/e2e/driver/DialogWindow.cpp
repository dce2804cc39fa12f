#include "DialogWindow.h"

#include <vector>

namespace {

// Control ids of the program's dialog templates and of the platform's message box text.
constexpr int kDriveList = 1011;
constexpr int kProgressBar = 1014;
constexpr int kCheckMedia = 1018;
constexpr int kMessageText = 0xFFFF;
constexpr UINT kAnswerTimeout = 5000;

std::string ClassOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

// Every character as it is, whatever the code page: a letter outside CP932 is not bent to another.
std::string ToUtf8(const wchar_t* text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return "";
  std::string bytes(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes.data(), size, nullptr, nullptr);
  bytes.resize(bytes.size() - 1);
  return bytes;
}

BOOL CALLBACK CollectChild(HWND child, LPARAM children) {
  reinterpret_cast<std::vector<HWND>*>(children)->push_back(child);
  return TRUE;
}

// Cross-process CB_GETLBTEXT in the A form loses all but the first character under Wine, so the
// items are read as UTF-16.
std::string ComboItem(HWND combo, int index) {
  wchar_t item[256] = {};
  DWORD_PTR length = 0;
  SendMessageTimeoutW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(item),
                      SMTO_ABORTIFHUNG, kAnswerTimeout, &length);
  return ToUtf8(item);
}

}  // namespace

// GetWindowTextA on a window of another process gives stray bytes when the window goes away
// during the call; this one leaves the zeroed buffer as it is.
std::string WindowText(HWND window) {
  std::vector<wchar_t> text(8192, L'\0');
  InternalGetWindowText(window, text.data(), static_cast<int>(text.size()));
  return ToUtf8(text.data());
}

DialogWindow::DialogWindow(HWND window) : handle(window) {}

std::string DialogWindow::Kind() const {
  if (ClassOf(handle) != "#32770") return "other";
  if (GetDlgItem(handle, kCheckMedia) != nullptr) return "mode";
  if (GetDlgItem(handle, kDriveList) != nullptr) return "drive";
  if (GetDlgItem(handle, kProgressBar) != nullptr) return "progress";
  if (GetDlgItem(handle, kMessageText) != nullptr) return "box";
  return "other";
}

std::string DialogWindow::ControlText(int id) const { return WindowText(GetDlgItem(handle, id)); }

unsigned long DialogWindow::SelectDrive(int index) const {
  DWORD_PTR selected = 0;
  SendMessageTimeoutA(GetDlgItem(handle, kDriveList), CB_SETCURSEL, static_cast<WPARAM>(index), 0,
                      SMTO_ABORTIFHUNG, kAnswerTimeout, &selected);
  return static_cast<unsigned long>(selected);
}

bool DialogWindow::SystemModal() const { return (GetWindowLongW(handle, GWL_STYLE) & DS_SYSMODAL) != 0; }

void DialogWindow::WaitUntilSettled() const {
  // A sent message is answered only from the program's message loop; the second one makes sure
  // that the first was not answered from inside the dialog's creation.
  for (int round = 0; round < 2; ++round) {
    SendMessageTimeoutW(handle, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kAnswerTimeout, nullptr);
    Sleep(50);
  }
}

Reply DialogWindow::Describe(HWND mainWindow) const {
  const HWND owner = GetWindow(handle, GW_OWNER);
  const std::string ownerKind =
      owner == nullptr ? "none" : owner == mainWindow ? "main" : DialogWindow(owner).Kind();
  RECT place = {};
  GetWindowRect(handle, &place);
  Reply reply("window");
  reply.Handle("hwnd", handle)
      .Word("kind", Kind())
      .Handle("owner", owner)
      .Word("ownerkind", ownerKind)
      .Number("topmost", (GetWindowLongW(handle, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0)
      .Word("rect", std::to_string(place.left) + "," + std::to_string(place.top) + "," +
                        std::to_string(place.right) + "," + std::to_string(place.bottom))
      .Text("caption", WindowText(handle));
  std::vector<HWND> children;
  EnumChildWindows(handle, CollectChild, reinterpret_cast<LPARAM>(&children));
  for (const HWND child : children) {
    if (!IsWindowVisible(child)) continue;
    const std::string childClass = ClassOf(child);
    reply.Word("control", std::to_string(GetDlgCtrlID(child)) + "," + childClass + "," + Hex(WindowText(child)));
    if (childClass != "ComboBox") continue;
    DWORD_PTR count = 0;
    SendMessageTimeoutW(child, CB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, kAnswerTimeout, &count);
    for (int index = 0; index < static_cast<int>(count); ++index) reply.Text("item", ComboItem(child, index));
  }
  return reply;
}
