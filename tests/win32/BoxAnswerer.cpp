#include "BoxAnswerer.h"

#include <chrono>

namespace {

std::string TextOf(HWND window) {
  char text[1024] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

BOOL CALLBACK FindMessageBox(HWND window, LPARAM found) {
  char className[32] = {};
  GetClassNameA(window, className, sizeof className);
  // A message box is a dialog with its text in the static control 0xFFFF.
  if (std::string(className) == "#32770" && GetDlgItem(window, 0xFFFF) != nullptr && IsWindowVisible(window)) {
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

BoxAnswerer::BoxAnswerer(std::vector<int> buttons)
    : uiThread(GetCurrentThreadId()), answers(std::move(buttons)), watcher([this] { Watch(); }) {}

BoxAnswerer::~BoxAnswerer() {
  stopping = true;
  watcher.join();
}

std::vector<SeenBox> BoxAnswerer::Seen() {
  std::lock_guard<std::mutex> guard(seenLock);
  return seen;
}

HWND BoxAnswerer::FindBox() const {
  HWND found = nullptr;
  EnumThreadWindows(uiThread, FindMessageBox, reinterpret_cast<LPARAM>(&found));
  return found;
}

void BoxAnswerer::Watch() {
  std::size_t answered = 0;
  while (!stopping) {
    const HWND box = FindBox();
    if (box == nullptr) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
      continue;
    }
    char text[1024] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    {
      std::lock_guard<std::mutex> guard(seenLock);
      seen.push_back({text, TextOf(box), GetWindow(box, GW_OWNER)});
    }
    const int answer = answered < answers.size() ? answers[answered] : IDOK;
    ++answered;
    PostMessageA(box, WM_COMMAND, static_cast<WPARAM>(answer), 0);
    while (IsWindow(box) && !stopping) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}
