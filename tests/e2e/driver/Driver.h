#pragma once

#include <windows.h>

#include <map>
#include <set>
#include <string>

#include "TargetProcess.h"

// Carries out the harness's commands on the program's windows, one line in, one line out:
//   next MS            the next dialog or box not yet reported, with the DS_SYSMODAL dialogs
//                      up beside it (progress dialogs are reported as "progress" lines
//                      whenever their texts change), or the exit code
//   press HWND ID      a button of a dialog or box, as a click would
//   select HWND INDEX  an item of the drive list
//   close HWND         the close box of a dialog
//   quit               a close request to the hidden main window
//   progress MS        the first progress dialog that shows a file count, reported like a
//                      dialog while the program goes on reading
//   second MS          a second start of the program, until it ends
//   end                the end, ending the program if it still runs
class Driver {
 public:
  explicit Driver(const std::wstring& programPath);

  // Answers commands until "end" or the end of the input; the result is the driver's exit code.
  int Serve();

 private:
  bool Execute(const std::string& command);
  void Next(DWORD timeout);
  void AwaitProgress(DWORD timeout);
  void StartSecond(DWORD timeout);
  // Reports every visible progress dialog whose texts changed; gives the first one seen.
  HWND WatchProgress();
  void ReportExit();

  const std::wstring programPath;
  TargetProcess program;
  std::set<HWND> reported;
  std::map<HWND, std::string> progressTexts;
};
