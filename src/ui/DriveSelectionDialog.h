#pragma once

#include <windows.h>

#include <string>

class CheckList;

// Asks which CD/DVD drive holds the disc; yields its root, such as "E:\".
class DriveSelectionDialog {
 public:
  DriveSelectionDialog();
  // Leaves the window as it is, but its procedure no longer reaches this object.
  ~DriveSelectionDialog();
  DriveSelectionDialog(const DriveSelectionDialog&) = delete;
  DriveSelectionDialog& operator=(const DriveSelectionDialog&) = delete;

  // A dialog that cannot be created counts as closed, so that no wait for it spins forever.
  void Open(HWND owner, const CheckList& list);
  void SetPrompt(const std::string& text);

  bool finished = false;
  bool closed = false;
  HWND window = nullptr;
  std::string prompt;
  std::string selectedDrive = "D:\\";

 private:
  static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  void Initialize(HWND dialog);
  void Accept(HWND dialog);

  const CheckList* checkList = nullptr;
};
