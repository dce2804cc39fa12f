#pragma once
// What the command line needs from the operating system beyond the platform layer.

#include <string>
#include <vector>

#include "ProgressLine.h"

namespace console {

// The program's arguments as UTF-8, without the program's name.
std::vector<std::string> Utf8Arguments(int argc, char** argv);
// Consoles show the UTF-8 output and take the escape that clears the progress line.
void PrepareOutput();
// Standard error as a progress line sees it.
ProgressTerminal ErrorTerminal();

// From here on, Ctrl-C only raises a flag that the verification polls between its reads; a
// second Ctrl-C ends the process at once.
void CatchInterrupt();
bool InterruptRequested();

}  // namespace console
