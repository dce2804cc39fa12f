#include "app/DrawingSurface.h"

bool DrawingSurface::BindWindow(HWND windowToBind) {
  if (windowDc != nullptr) return false;
  window = windowToBind;
  windowDc = GetDC(windowToBind);
  return true;
}

bool DrawingSurface::CreateBuffer(int width, int height, int slot, int bitsPerPixel) {
  if (slot < 0 || slot >= kSlots || memoryDcs[slot] != nullptr) return false;
  memoryDcs[slot] = CreateCompatibleDC(windowDc);

  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down: the first row in memory is the top row
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = static_cast<WORD>(bitsPerPixel);
  info.bmiHeader.biCompression = BI_RGB;
  info.bmiHeader.biSizeImage = static_cast<DWORD>(bitsPerPixel / 8 * width * height);
  HBITMAP bitmap = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &pixels[slot], nullptr, 0);

  previousBitmaps[slot] = SelectObject(memoryDcs[slot], bitmap);
  PatBlt(memoryDcs[slot], 0, 0, width, height, BLACKNESS);
  widths[slot] = width;
  heights[slot] = height;
  return true;
}

bool DrawingSurface::Present(int slot) {
  if (windowDc == nullptr || slot < 0 || slot >= kSlots || memoryDcs[slot] == nullptr) return false;
  BitBlt(windowDc, 0, 0, widths[slot], heights[slot], memoryDcs[slot], 0, 0, SRCCOPY);
  return true;
}

void DrawingSurface::Release() {
  for (int slot = 0; slot < kSlots; ++slot) {
    if (memoryDcs[slot] == nullptr) continue;
    DeleteObject(SelectObject(memoryDcs[slot], previousBitmaps[slot]));
    DeleteDC(memoryDcs[slot]);
  }
  if (windowDc != nullptr) ReleaseDC(window, windowDc);
}
