// crclist: the check-list companion for whoever prepares a disc.

#include <iostream>

#include "CommandLine.h"
#include "Console.h"

int main(int argc, char** argv) {
  console::PrepareOutput();
  console::CatchInterrupt();
  const CommandLine commandLine(console::InterruptRequested, console::ErrorTerminal());
  return commandLine.Run(console::Utf8Arguments(argc, argv), std::cout, std::cerr);
}
