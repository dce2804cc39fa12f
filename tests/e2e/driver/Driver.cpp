#include "Driver.h"

#include <cstdio>
#include <cstdint>
#include <sstream>

#include "DialogWindow.h"
#include "Reply.h"

namespace {

constexpr int kStatusText = 1013;
constexpr int kFileCountText = 1015;
// Short enough to see most files of a run go by in its progress dialog.
constexpr DWORD kPollInterval = 1;

HWND ReadHandle(std::istream& in) {
  std::uintptr_t value = 0;
  in >> std::hex >> value >> std::dec;
  return reinterpret_cast<HWND>(value);
}

class Deadline {
 public:
  explicit Deadline(DWORD milliseconds) : end(GetTickCount64() + milliseconds) {}
  bool Passed() const { return GetTickCount64() >= end; }

 private:
  ULONGLONG end;
};

}  // namespace

Driver::Driver(const std::wstring& path) : programPath(path), program(path) {}

int Driver::Serve() {
  if (!program.Started()) {
    Reply("failed").Number("error", GetLastError()).Send();
    return 2;
  }
  Reply("started").Number("pid", program.processId).Number("thread", program.threadId).Send();
  char line[256];
  while (std::fgets(line, sizeof line, stdin) != nullptr) {
    if (!Execute(line)) break;
  }
  return 0;
}

bool Driver::Execute(const std::string& command) {
  std::istringstream in(command);
  std::string word;
  in >> word;
  if (word == "next") {
    DWORD timeout = 0;
    in >> timeout;
    Next(timeout);
  } else if (word == "press") {
    const HWND window = ReadHandle(in);
    int id = 0;
    in >> id;
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
    Reply("ok").Send();
  } else if (word == "select") {
    const HWND window = ReadHandle(in);
    int index = 0;
    in >> index;
    Reply("ok").Number("selected", DialogWindow(window).SelectDrive(index)).Send();
  } else if (word == "close") {
    PostMessageA(ReadHandle(in), WM_CLOSE, 0, 0);
    Reply("ok").Send();
  } else if (word == "quit") {
    const HWND main = program.MainWindow();
    PostMessageA(main, WM_CLOSE, 0, 0);
    Reply("ok").Handle("main", main).Send();
  } else if (word == "progress") {
    DWORD timeout = 0;
    in >> timeout;
    AwaitProgress(timeout);
  } else if (word == "second") {
    DWORD timeout = 0;
    in >> timeout;
    StartSecond(timeout);
  } else if (word == "end") {
    Reply("ended").Number("running", program.HasExited() ? 0 : 1).Send();
    return false;
  } else {
    Reply("unknown").Send();
  }
  return true;
}

void Driver::Next(DWORD timeout) {
  const Deadline deadline(timeout);
  while (!deadline.Passed()) {
    WatchProgress();
    for (const HWND window : program.VisibleWindows()) {
      const DialogWindow dialog(window);
      if (reported.count(window) != 0 || dialog.Kind() == "progress") continue;
      dialog.WaitUntilSettled();
      Reply description = dialog.Describe(program.MainWindow());
      for (const HWND other : program.VisibleWindows()) {
        if (other != window && DialogWindow(other).SystemModal()) description.Handle("up", other);
      }
      // A window that went away meanwhile, as a run's dialogs do when the program ends, was
      // read in pieces; it is no dialog the user could answer.
      if (!IsWindow(window) || !IsWindowVisible(window)) continue;
      reported.insert(window);
      description.Send();
      return;
    }
    if (program.HasExited()) {
      ReportExit();
      return;
    }
    Sleep(kPollInterval);
  }
  Reply("timeout").Send();
}

void Driver::AwaitProgress(DWORD timeout) {
  const Deadline deadline(timeout);
  while (!deadline.Passed() && !program.HasExited()) {
    const HWND progress = WatchProgress();
    if (progress != nullptr && !DialogWindow(progress).ControlText(kFileCountText).empty()) {
      DialogWindow(progress).Describe(program.MainWindow()).Send();
      return;
    }
    Sleep(kPollInterval);
  }
  Reply("timeout").Send();
}

void Driver::StartSecond(DWORD timeout) {
  const TargetProcess second(programPath);
  if (!second.Started()) {
    Reply("failed").Number("error", GetLastError()).Send();
    return;
  }
  std::set<HWND> shown;
  const Deadline deadline(timeout);
  while (!second.HasExited() && !deadline.Passed()) {
    for (const HWND window : second.VisibleWindows()) shown.insert(window);
    Sleep(kPollInterval);
  }
  if (!second.HasExited()) {
    Reply("timeout").Send();
    return;
  }
  Reply("second")
      .Number("code", second.ExitCode())
      .Number("thread", second.threadId)
      .Number("windows", static_cast<unsigned long>(shown.size()))
      .Send();
}

HWND Driver::WatchProgress() {
  HWND first = nullptr;
  for (const HWND window : program.VisibleWindows()) {
    const DialogWindow dialog(window);
    if (dialog.Kind() != "progress") continue;
    if (first == nullptr) first = window;
    const std::string status = dialog.ControlText(kStatusText);
    const std::string count = dialog.ControlText(kFileCountText);
    // Texts read while the dialog was being destroyed are not what it showed.
    if (!IsWindow(window)) continue;
    std::string& last = progressTexts[window];
    if (last == status + '\0' + count) continue;
    last = status + '\0' + count;
    Reply("progress").Handle("hwnd", window).Text("status", status).Text("count", count).Send();
  }
  return first;
}

void Driver::ReportExit() { Reply("exited").Number("code", program.ExitCode()).Send(); }
