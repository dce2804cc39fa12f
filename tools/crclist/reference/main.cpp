// Writes crclist's manual page and its bash completion, from the parser that the program runs.
// Usage: crclist_reference MANUAL_PAGE COMPLETION
// The page's date is SOURCE_DATE_EPOCH's when it is set, so that the same sources give the same
// page.

#include <CLI/CLI.hpp>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iostream>

#include "commands/CommandLine.h"
#include "reference/BashCompletion.h"
#include "reference/ManualPage.h"

namespace {

std::string Date() {
  const char* epoch = std::getenv("SOURCE_DATE_EPOCH");
  const bool given = epoch != nullptr && *epoch != 0;
  const std::time_t time = given ? std::strtoll(epoch, nullptr, 10) : std::time(nullptr);
  char date[16];
  std::strftime(date, sizeof date, "%Y-%m-%d", std::gmtime(&time));
  return date;
}

bool Write(const char* path, const std::string& text) {
  std::ofstream file(path, std::ios::binary);
  file << text;
  file.close();
  if (file) return true;
  std::cerr << "crclist_reference: " << path << " cannot be written\n";
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: crclist_reference MANUAL_PAGE COMPLETION\n";
    return 2;
  }
  CommandOptions options;
  const std::unique_ptr<CLI::App> app = CommandLine::Parser(options);
  const bool written = Write(argv[1], manual_page::Roff(*app, CRCLIST_VERSION, Date())) &&
                       Write(argv[2], bash_completion::Script(*app));
  return written ? 0 : 1;
}
