#pragma once

#include <windows.h>

#include "app/WindowBase.h"

class DrawingSurface;

// The hidden top-level window: the mark of a running instance, the owner of the quit question
// and the receiver of WM_CLOSE. A failure to create it ends the process with exit code 0.
class MainWindow : public WindowBase {
 public:
  static constexpr const wchar_t* kClassName = L"Diskward";

  explicit MainWindow(const char* title);
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void ConfirmQuit(HWND owner);
  // Dispatches every pending message without waiting; false once WM_QUIT was taken.
  bool PumpMessages();
  bool AttachSurface(DrawingSurface* surfaceToAttach);

  bool quitRequested = false;

 private:
  void Register();
  void CreateHiddenWindow();

  const char* title;
  DrawingSurface* surface = nullptr;
  UINT_PTR timer = 0;
};

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
