#pragma once

#include <windows.h>

#include <string>

#include "Reply.h"

// A dialog or message box of the program, read from outside its process: captions and
// control texts come from the window manager's copy, which needs no answer from the program.
class DialogWindow {
 public:
  explicit DialogWindow(HWND window);

  // "mode", "drive", "progress", "box" or "other", told apart by the controls each one has.
  std::string Kind() const;
  std::string ControlText(int id) const;
  // Selects an item of the drive list as a click would; gives the index now selected.
  unsigned long SelectDrive(int index) const;
  // Made from a template with DS_SYSMODAL, which Windows keeps above every window not topmost.
  bool SystemModal() const;
  // Returns once the program has come back to its message loop, so its texts are all set.
  void WaitUntilSettled() const;
  // Kind, caption, owner, whether it is topmost, place and every visible control, as one reply
  // line.
  Reply Describe(HWND mainWindow) const;

  const HWND handle;
};

std::string WindowText(HWND window);
