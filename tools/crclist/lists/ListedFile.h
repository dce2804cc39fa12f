#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "checklist/CheckList.h"
#include "checklist/Token.h"

// A file that a list names, in the order the program verifies it.
struct ListedFile {
  static constexpr std::uint32_t kNowhere = 0xFFFFFFFFu;

  TokenCode section;  // KwCdFiles, KwGameData, or KwReg for an installed file
  // CP932: from the disc's root, the name or "gamedata\" and the name; an installed file's path.
  std::string path;
  FileEntry entry;
  std::uint32_t offset = kNowhere;  // of the name in the list's bytes, where lint found it
};

// The disc's files, CDFILES then GAMEDATA.
std::vector<ListedFile> DiscFiles(const CheckList& list);
// The path from the disc's root of an entry of a disc section.
std::string DiscPath(TokenCode section, const std::string& name);
