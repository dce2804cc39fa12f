#pragma once

#include <windows.h>

// A window whose procedure forwards every message to its object.
class WindowBase {
 public:
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;

  HWND windowHandle = nullptr;

 protected:
  ~WindowBase() = default;
};
