#pragma once

#include <windows.h>

#include <string>

class CheckList;

// The modeless dialog a run keeps on screen: the file, the count of files, a bar and a stop button.
class ProgressDialog {
 public:
  ProgressDialog() = default;
  // Leaves the window as it is, but its procedure no longer reaches this object.
  ~ProgressDialog();
  ProgressDialog(const ProgressDialog&) = delete;
  ProgressDialog& operator=(const ProgressDialog&) = delete;

  void Open(HWND owner, const CheckList& list);
  void ShowFile(const std::wstring& path);
  void SetFileCount(int current, int total);
  void SetPercent(int percent);
  void Close();

  bool stopRequested = false;
  HWND window = nullptr;

 private:
  static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  void Stop(HWND dialog);

  const CheckList* checkList = nullptr;
};
