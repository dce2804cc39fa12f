#include "ListedFile.h"

std::vector<ListedFile> DiscFiles(const CheckList& list) {
  std::vector<ListedFile> files;
  for (const FileEntry& entry : list.cdFiles) files.push_back({"CDFILES", entry.name, entry});
  for (const FileEntry& entry : list.gameDataFiles) {
    files.push_back({"GAMEDATA", "gamedata\\" + entry.name, entry});
  }
  return files;
}
