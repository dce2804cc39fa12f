#include "app/MainWindow.h"

#include <cstdlib>

#include "app/AppInstance.h"
#include "app/DrawingSurface.h"
#include "platform/WideText.h"
#include "texts/Texts.h"

namespace {

constexpr DWORD kWindowStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr int kClientWidth = 640;
constexpr int kClientHeight = 480;

}  // namespace

MainWindow::MainWindow(const char* windowTitle) : title(windowTitle) {
  Register();
  CreateHiddenWindow();
  quitRequested = false;
  surface = nullptr;
  timer = SetTimer(windowHandle, 0, 1000, nullptr);
}

void MainWindow::Register() {
  WNDCLASSW windowClass = {};
  windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_OWNDC | CS_BYTEALIGNCLIENT;
  windowClass.lpfnWndProc = WindowProc;
  // The extra bytes hold the object pointer, which is 8 bytes on x86_64.
  windowClass.cbWndExtra = sizeof(LONG_PTR);
  windowClass.hInstance = appInstance;
  windowClass.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = kClassName;
  if (RegisterClassW(&windowClass) == 0) std::exit(0);
}

void MainWindow::CreateHiddenWindow() {
  RECT frame;
  SetRect(&frame, 0, 0, kClientWidth, kClientHeight);
  AdjustWindowRect(&frame, kWindowStyle, FALSE);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  // Centred, even at negative coordinates on a screen smaller than the window.
  const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  windowHandle = CreateWindowExW(0, kClassName, platform::Wide(title).c_str(), kWindowStyle, x, y,
                                 width, height, nullptr, nullptr, appInstance, this);
  if (windowHandle == nullptr) std::exit(0);
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return 0;
    case WM_PAINT:
      ValidateRect(windowHandle, nullptr);
      if (surface != nullptr) surface->Present(0);
      return 0;
    case WM_CLOSE:
      // Never destroyed by a close request: the question decides.
      ConfirmQuit(windowHandle);
      return 0;
    case WM_COMMAND:
    case WM_TIMER:
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
      return 0;
    default:
      return DefWindowProcW(windowHandle, message, wParam, lParam);
  }
}

void MainWindow::ConfirmQuit(HWND owner) {
  const std::wstring question = platform::Wide(title) + platform::Wide(texts::kQuitQuestion);
  // The hidden owner is not topmost, but the DS_SYSMODAL dialog the question may come over is on
  // Windows (not under Wine): the question has to be topmost too, or it may open beneath it.
  if (MessageBoxW(owner, question.c_str(), platform::Wide(title).c_str(),
                  MB_OKCANCEL | MB_ICONQUESTION | MB_TOPMOST) != IDOK) {
    return;
  }
  KillTimer(windowHandle, timer);
  quitRequested = true;
  PostQuitMessage(0);
}

bool MainWindow::PumpMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE)) {
    if (GetMessageW(&message, nullptr, 0, 0) == 0) return false;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return true;
}

bool MainWindow::AttachSurface(DrawingSurface* surfaceToAttach) {
  if (surface != nullptr) return false;
  surface = surfaceToAttach;
  return true;
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* object = reinterpret_cast<WindowBase*>(GetWindowLongPtrW(window, 0));
  if (object == nullptr) {
    if (message != WM_CREATE) return DefWindowProcW(window, message, wParam, lParam);
    object = static_cast<WindowBase*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    SetWindowLongPtrW(window, 0, reinterpret_cast<LONG_PTR>(object));
    // Messages arrive before CreateWindowExW returns; they need the handle too.
    object->windowHandle = window;
  }
  return object->HandleMessage(message, wParam, lParam);
}
