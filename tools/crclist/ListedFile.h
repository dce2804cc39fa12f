#pragma once

#include <string>
#include <vector>

#include "checklist/CheckList.h"

// A file that the disc check verifies, in the order the program verifies it.
struct ListedFile {
  std::string section;  // "CDFILES" or "GAMEDATA"
  std::string path;     // CP932, from the disc's root: the name, or "gamedata\" and the name
  FileEntry entry;
};

std::vector<ListedFile> DiscFiles(const CheckList& list);
