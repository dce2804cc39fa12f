#pragma once

#include <windows.h>

#include <string>

class CheckList;

enum class CheckMode { Media, Installed };

// The first dialog: an explanation and the choice between checking the disc and the installed files.
class ModeChoiceDialog {
 public:
  ModeChoiceDialog() = default;
  // Leaves the window as it is, but its procedure no longer reaches this object.
  ~ModeChoiceDialog();
  ModeChoiceDialog(const ModeChoiceDialog&) = delete;
  ModeChoiceDialog& operator=(const ModeChoiceDialog&) = delete;

  // A dialog that cannot be created counts as closed, so that no wait for it spins forever.
  void Open(HWND owner);
  void SetText(const std::string& text);
  void SetCaption(const CheckList& list);

  bool finished = false;
  bool closed = false;
  CheckMode mode = CheckMode::Media;
  HWND window = nullptr;

 private:
  static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  void Choose(HWND dialog, CheckMode chosen);
};
