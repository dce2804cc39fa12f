// crclist: the check-list companion for whoever prepares a disc.

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "checklist/CheckList.h"
#include "platform/Platform.h"

namespace {

void PrintInvalidToken(const std::string& text) {
  std::printf("invalid token: %s\n", platform::Cp932ToUtf8(text).c_str());
}

void PrintEntries(const char* section, const std::vector<FileEntry>& entries) {
  std::printf("%s: %zu\n", section, entries.size());
  for (const FileEntry& entry : entries) {
    std::printf("  %s  %d  0x%08X\n", platform::Cp932ToUtf8(entry.name).c_str(), entry.size,
                entry.crc);
  }
}

void PrintLines(const char* section, const std::vector<std::string>& lines) {
  std::printf("%s: %zu\n", section, lines.size());
  for (const std::string& line : lines) std::printf("  %s\n", platform::Cp932ToUtf8(line).c_str());
}

// Prints what the program reads from the check list, in the order it keeps it.
int Show(const char* path) {
  platform::SetMessageHandler(PrintInvalidToken);
  CheckList list;
  const bool loaded = list.Load(path);
  std::printf("loaded: %s\n", loaded ? "yes" : "no");
  std::printf("title: %s\n", platform::Cp932ToUtf8(list.title).c_str());
  std::printf("gameKey: %s\n", platform::Cp932ToUtf8(list.gameKey).c_str());
  PrintEntries("regFiles", list.regFiles);
  PrintEntries("cdFiles", list.cdFiles);
  PrintEntries("gameDataFiles", list.gameDataFiles);
  PrintLines("messageLines", list.messageLines);
  PrintLines("driveInfo", list.driveInfo);
  return loaded ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "show") == 0) return Show(argv[2]);
  std::fprintf(stderr, "usage: crclist show FILE\n");
  return 2;
}
