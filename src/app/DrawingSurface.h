#pragma once

#include <windows.h>

// The main window's back buffer: up to ten black DIB sections drawn on paint.
class DrawingSurface {
 public:
  static constexpr int kSlots = 10;

  bool BindWindow(HWND window);
  bool CreateBuffer(int width, int height, int slot, int bitsPerPixel);
  bool Present(int slot);
  void Release();

 private:
  HDC windowDc = nullptr;
  HWND window = nullptr;
  HDC memoryDcs[kSlots] = {};
  void* pixels[kSlots] = {};
  int widths[kSlots] = {};
  int heights[kSlots] = {};
  HGDIOBJ previousBitmaps[kSlots] = {};
};
