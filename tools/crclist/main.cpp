// crclist: the check-list companion for whoever prepares a disc.

#include <iostream>

#include "commands/CommandLine.h"
#include "system/OperatingSystem.h"
#include "terminal/Console.h"

int main(int argc, char** argv) {
  os::PrepareOutput();
  console::CatchInterrupt();
  const CommandLine commandLine(console::InterruptRequested, console::ErrorTerminal());
  return commandLine.Run(os::Utf8Arguments(argc, argv), std::cout, std::cerr);
}
