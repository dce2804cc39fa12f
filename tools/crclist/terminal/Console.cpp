#include "terminal/Console.h"

#include <csignal>

#include "system/OperatingSystem.h"

namespace console {
namespace {

volatile std::sig_atomic_t interrupted = 0;

void OnInterrupt(int) {
  interrupted = 1;
  std::signal(SIGINT, SIG_DFL);
}

}  // namespace

ProgressTerminal ErrorTerminal() {
  ProgressTerminal terminal;
  terminal.shown = os::ErrorIsTerminal();
  terminal.escapes = os::ErrorTakesEscapes();
  terminal.columns = os::ErrorColumns;
  return terminal;
}

void CatchInterrupt() {
  interrupted = 0;
  std::signal(SIGINT, OnInterrupt);
}

bool InterruptRequested() { return interrupted != 0; }

}  // namespace console
