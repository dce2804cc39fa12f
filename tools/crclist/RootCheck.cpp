#include "RootCheck.h"

#include <map>
#include <set>

#include "DiscFolder.h"
#include "Paths.h"
#include "platform/Platform.h"

namespace {

std::string Quoted(const std::string& cp932) { return "\"" + platform::Cp932ToUtf8(cp932) + "\""; }

// The folder's files by their paths from its root, case folded.
bool FolderFiles(const std::string& root, const std::filesystem::path& list,
                 std::map<std::string, std::string>& byFolded, std::string& error) {
  std::vector<DiscFile> files;
  if (!DiscFolder::List(root, list, files, error)) return false;
  for (const DiscFile& file : files) {
    const std::string path = (file.gameData ? "gamedata\\" : "") + file.name;
    byFolded.emplace(paths::Folded(path), path);
  }
  return true;
}

void CheckSize(const ListedDiscFile& listed, const std::string& rootPath,
               const std::string& shownRoot, std::vector<Finding>& findings) {
  const std::string path = listed.PathFromRoot();
  const platform::FileHandle file = platform::OpenForReading(paths::Join(rootPath, path).c_str());
  if (file == platform::kNoFile) {
    findings.push_back({listed.offset, FindingKind::MissingFile,
                        Quoted(path) + " cannot be opened under " + shownRoot + ": " +
                            platform::LastErrorText()});
    return;
  }
  std::uint32_t size = 0;
  const auto listedSize = static_cast<std::uint32_t>(listed.entry.size);
  if (platform::GetFileSize32(file, size) && size != listedSize) {
    findings.push_back({listed.offset, FindingKind::SizeDiffers,
                        Quoted(path) + " has " + std::to_string(size) + " bytes under " +
                            shownRoot + ", the list says " + std::to_string(listedSize)});
  }
  platform::CloseFile(file);
}

}  // namespace

std::vector<Finding> RootCheck::Compare(const std::vector<ListedDiscFile>& listed,
                                        const std::string& root,
                                        const std::filesystem::path& list) {
  std::vector<Finding> findings;
  std::map<std::string, std::string> folderFiles;
  std::string error;
  const bool folderListed = FolderFiles(root, list, folderFiles, error);
  if (!folderListed) {
    findings.push_back({Finding::kWholeFile, FindingKind::UnlistedFile,
                        error + " (under " + root +
                            "), so the folder's files are not compared with the list"});
  }
  std::string rootPath;
  platform::Utf8ToCp932(root, rootPath);
  std::set<std::string> listedFolded;
  for (const ListedDiscFile& file : listed) {
    const std::string path = file.PathFromRoot();
    if (paths::LeavesDisc(file.entry.name)) continue;
    listedFolded.insert(paths::Folded(path));
    const auto found = folderFiles.find(paths::Folded(path));
    if (!folderListed) {
      CheckSize(file, rootPath, root, findings);
    } else if (found == folderFiles.end()) {
      findings.push_back({file.offset, FindingKind::MissingFile,
                          Quoted(path) + " is not found under " + root});
    } else if (found->second != path) {
      findings.push_back({file.offset, FindingKind::CaseOnlyMatch,
                          Quoted(path) + " is found under " + root + " only as " +
                              Quoted(found->second) +
                              ": Windows opens it, Linux and other case-sensitive systems do not"});
    } else {
      CheckSize(file, rootPath, root, findings);
    }
  }
  for (const auto& [folded, path] : folderFiles) {
    if (listedFolded.count(folded) != 0) continue;
    findings.push_back({Finding::kWholeFile, FindingKind::UnlistedFile,
                        Quoted(path) + " under " + root +
                            " is left out of the list: Disksentry never checks it"});
  }
  return findings;
}
