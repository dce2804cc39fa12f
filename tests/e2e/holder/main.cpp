// Holds a file open without sharing it, as another program may, until its input ends.

#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: e2e_file_holder PATH\n");
    return 2;
  }
  const HANDLE file = CreateFileA(argv[1], GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    std::printf("failed %lu\n", GetLastError());
    return 1;
  }
  std::printf("held\n");
  std::fflush(stdout);
  char buffer[64];
  while (std::fgets(buffer, sizeof buffer, stdin) != nullptr) {
  }
  CloseHandle(file);
  return 0;
}
