#pragma once

#include <string>

// How a command ends: its exit code and what it says last on the error stream, after the one
// "crclist: " that the command line puts before it: why it failed, or a note; nothing when empty.
struct CommandOutcome {
  int code = 0;
  std::string message;
};
