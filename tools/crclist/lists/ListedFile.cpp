#include "lists/ListedFile.h"

#include "checklist/InfBytes.h"

std::vector<ListedFile> DiscFiles(const CheckList& list) {
  std::vector<ListedFile> files;
  for (const auto& [section, entries] : {std::make_pair(TokenCode::KwCdFiles, &list.cdFiles),
                                         std::make_pair(TokenCode::KwGameData, &list.gameDataFiles)}) {
    for (const FileEntry& entry : *entries) files.push_back({section, DiscPath(section, entry.name), entry});
  }
  return files;
}

std::string DiscPath(TokenCode section, const std::string& name) {
  return (section == TokenCode::KwGameData ? inf::kGameDataFolder : "") + name;
}
