#include "TargetProcess.h"

namespace {

struct WindowSearch {
  DWORD processId;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectVisible(HWND window, LPARAM search) {
  auto* wanted = reinterpret_cast<WindowSearch*>(search);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == wanted->processId && IsWindowVisible(window)) wanted->found.push_back(window);
  return TRUE;
}

}  // namespace

TargetProcess::TargetProcess(const std::wstring& programPath) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  std::wstring commandLine = L"\"" + programPath + L"\"";
  if (!CreateProcessW(programPath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &process)) {
    process = {};
    return;
  }
  processId = process.dwProcessId;
  threadId = process.dwThreadId;
}

TargetProcess::~TargetProcess() {
  if (!Started()) return;
  if (!HasExited()) {
    TerminateProcess(process.hProcess, 255);
    WaitForSingleObject(process.hProcess, 5000);
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

bool TargetProcess::Started() const { return process.hProcess != nullptr; }

bool TargetProcess::HasExited() const { return WaitForExit(0); }

DWORD TargetProcess::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(process.hProcess, &code);
  return code;
}

bool TargetProcess::WaitForExit(DWORD milliseconds) const {
  return WaitForSingleObject(process.hProcess, milliseconds) == WAIT_OBJECT_0;
}

std::vector<HWND> TargetProcess::VisibleWindows() const {
  WindowSearch search{processId, {}};
  EnumWindows(CollectVisible, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND TargetProcess::MainWindow() const {
  HWND window = nullptr;
  while ((window = FindWindowExA(nullptr, window, "Diskward", nullptr)) != nullptr) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == processId) return window;
  }
  return nullptr;
}
