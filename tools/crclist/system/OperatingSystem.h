#pragma once
// What crclist needs from the operating system beyond the platform layer; the one header whose
// implementation differs by system.

#include <cstddef>
#include <cstdint>
#include <string>
#include <system_error>
#include <vector>

#include "platform/Platform.h"

namespace os {

// The program's arguments as UTF-8, without the program's name.
std::vector<std::string> Utf8Arguments(int argc, char** argv);
// Consoles show the UTF-8 output and take the escape that clears the progress line.
void PrepareOutput();

// Standard error: whether it is a terminal, whether that takes the escape that erases a line (a
// "dumb" terminal does not), and its width now.
bool ErrorIsTerminal();
bool ErrorTakesEscapes();
std::size_t ErrorColumns();

// Whether reads of several files at once are faster than one file at a time, in list order, on
// the device that holds the folder (UTF-8): only solid-state disks measure so. Rotational disks
// and optical drives seek; a memory, network or FUSE file system, or one that cannot be told,
// gains nothing.
bool GainsFromReadsInFlight(const std::string& folder);
// Has the system bring the file's first bytes into memory; a failure shows when they are read.
void Prefetch(platform::FileHandle file, std::uint32_t bytes);

// Why an operation failed, as UTF-8. The standard library on Windows gives a system error in the
// ANSI code page, which is not what crclist writes.
std::string ErrorText(const std::error_code& error);

}  // namespace os
