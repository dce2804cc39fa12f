#include <windows.h>
#include <commctrl.h>

#include "app/AppInstance.h"
#include "app/MainWindow.h"
#include "checker/Checker.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  // One instance at a time: a second start ends at once and shows nothing.
  if (FindWindowW(MainWindow::kClassName, nullptr) != nullptr) return 0;
  appInstance = instance;
  // The progress dialog's bar is a common control.
  InitCommonControls();

  MainWindow window("Disksentry");
  if (!window.PumpMessages()) return 0;
  Checker checker(window);
  return checker.RunChecks() ? 1 : 0;
}
