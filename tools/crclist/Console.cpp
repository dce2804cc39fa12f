#include "Console.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <sys/ioctl.h>
#include <unistd.h>
#endif

namespace console {
namespace {

volatile std::sig_atomic_t interrupted = 0;

void OnInterrupt(int) {
  interrupted = 1;
  std::signal(SIGINT, SIG_DFL);
}

#ifdef _WIN32
unsigned int consoleCodePage = 0;

void RestoreCodePage() { SetConsoleOutputCP(consoleCodePage); }

std::string WideToUtf8(const wchar_t* wide) {
  const int length = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (length <= 1) return std::string();
  std::string utf8(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide, -1, &utf8[0], length, nullptr, nullptr);
  utf8.pop_back();
  return utf8;
}
#endif

}  // namespace

#ifdef _WIN32

// argv holds the ANSI code page's bytes; the wide command line holds every character.
std::vector<std::string> Utf8Arguments(int, char**) {
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(WideToUtf8(wide[i]));
  LocalFree(wide);
  return arguments;
}

bool takesEscapes = false;

void PrepareOutput() {
  consoleCodePage = GetConsoleOutputCP();
  if (consoleCodePage != 0 && SetConsoleOutputCP(CP_UTF8)) std::atexit(RestoreCodePage);
  const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
  DWORD mode = 0;
  takesEscapes = GetConsoleMode(error, &mode) &&
                 SetConsoleMode(error, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
}

ProgressTerminal ErrorTerminal() {
  ProgressTerminal terminal;
  terminal.shown = _isatty(_fileno(stderr)) != 0;
  terminal.escapes = takesEscapes;
  terminal.columns = [] {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(GetStdHandle(STD_ERROR_HANDLE), &info)) return std::size_t{80};
    return static_cast<std::size_t>(info.srWindow.Right - info.srWindow.Left + 1);
  };
  return terminal;
}

#else

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
  return std::vector<std::string>(argv + 1, argv + argc);
}

void PrepareOutput() {}

ProgressTerminal ErrorTerminal() {
  ProgressTerminal terminal;
  terminal.shown = isatty(STDERR_FILENO) != 0;
  const char* term = std::getenv("TERM");
  terminal.escapes = term != nullptr && *term != '\0' && std::string(term) != "dumb";
  terminal.columns = [] {
    winsize size{};
    if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) != 0 || size.ws_col == 0) return std::size_t{80};
    return static_cast<std::size_t>(size.ws_col);
  };
  return terminal;
}

#endif

void CatchInterrupt() {
  interrupted = 0;
  std::signal(SIGINT, OnInterrupt);
}

bool InterruptRequested() { return interrupted != 0; }

}  // namespace console
