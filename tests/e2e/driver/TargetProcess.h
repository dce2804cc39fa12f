#pragma once

#include <windows.h>

#include <string>
#include <vector>

// A started instance of the program under test; it is ended with the object if still running.
class TargetProcess {
 public:
  // Started in the driver's current folder, with no arguments.
  explicit TargetProcess(const std::wstring& programPath);
  ~TargetProcess();
  TargetProcess(const TargetProcess&) = delete;
  TargetProcess& operator=(const TargetProcess&) = delete;

  bool Started() const;
  bool HasExited() const;
  DWORD ExitCode() const;
  bool WaitForExit(DWORD milliseconds) const;
  // Its visible top-level windows, of any class.
  std::vector<HWND> VisibleWindows() const;
  // Its hidden main window, or null while it has none.
  HWND MainWindow() const;

  DWORD processId = 0;
  DWORD threadId = 0;

 private:
  PROCESS_INFORMATION process = {};
};
