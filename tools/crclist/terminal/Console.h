#pragma once
// The terminal that crclist runs in: its error stream as a progress line sees it, and Ctrl-C.

#include "terminal/ProgressLine.h"

namespace console {

ProgressTerminal ErrorTerminal();

// From here on, Ctrl-C only raises a flag that the verification polls between its reads; a
// second Ctrl-C ends the process at once.
void CatchInterrupt();
bool InterruptRequested();

}  // namespace console
