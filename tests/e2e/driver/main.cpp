#include <windows.h>
#include <shellapi.h>

#include "Driver.h"
#include "Reply.h"

// Usage: e2e_driver PROGRAM. Starts PROGRAM in the current folder and answers the harness's
// commands on standard input (see Driver.h).
int main() {
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  if (arguments == nullptr || count != 2) {
    Reply("usage").Send();
    return 2;
  }
  Driver driver(arguments[1]);
  LocalFree(arguments);
  return driver.Serve();
}
