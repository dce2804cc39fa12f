#pragma once
// The program's texts and paths are CP932 by definition. Windows gets them decoded with code page
// 932 itself and through the W functions, so that what is shown and opened is the same whatever
// the system's ANSI code page (1252 on a Western Windows, 65001 with the UTF-8 option).

#include <string>

#include "platform/Platform.h"

namespace platform {

// Up to the first NUL, as an A function reads it. A byte that is no CP932 character becomes what
// the system's own conversion makes of it, as it would for an A function on a Japanese system.
std::wstring Wide(const char* cp932);
// Every character, NULs too, as the system's conversion to CP932 writes it ("?" where CP932 has
// no form).
std::string Cp932(const std::wstring& wide);
// By a path as Windows names it, which may hold letters that CP932 cannot write.
FileHandle OpenForReading(const wchar_t* path);
// The system's words for an error code as UTF-8, taken in UTF-16: the A form comes in the ANSI
// code page.
std::string ErrorText(unsigned long code);

}  // namespace platform
