#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// A file of a disc folder as its check list names it.
struct DiscFile {
  bool gameData;     // listed in GAMEDATA, relative to the folder gamedata, else in CDFILES
  std::string name;  // CP932, backslash-separated, relative to its section's folder
};

// The files of a disc folder in the order a check list gives them: CDFILES, then GAMEDATA, each
// sorted by the bytes of its names.
class DiscFolder {
 public:
  // Every file under root (UTF-8) except its check list: "crclist.INF" at the root, in any case,
  // and the file that skip names. False, with a message naming the file, when one cannot be
  // listed.
  static bool List(const std::string& root, const std::filesystem::path& skip,
                   std::vector<DiscFile>& files, std::string& error);
};
