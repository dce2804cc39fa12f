#include "WineTestSupport.h"

#include <windows.h>
#include <commctrl.h>

#include "app/AppInstance.h"
#include "app/MainWindow.h"
#include "checker/Checker.h"

MainWindow& TheMainWindow() {
  static MainWindow* window = [] {
    appInstance = GetModuleHandleA(nullptr);
    InitCommonControls();
    return new MainWindow("Disksentry");
  }();
  return *window;
}

Checker& TheChecker() {
  static Checker checker(TheMainWindow());
  return checker;
}

void PumpFor(int milliseconds) {
  for (int waited = 0; waited < milliseconds; waited += 10) {
    TheMainWindow().PumpMessages();
    Sleep(10);
  }
}

std::string ControlText(void* window, int id) {
  char text[1024] = {};
  GetDlgItemTextA(static_cast<HWND>(window), id, text, sizeof text);
  return text;
}
