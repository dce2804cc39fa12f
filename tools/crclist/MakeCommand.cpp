#include "MakeCommand.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <utility>

#include "CheckListWriter.h"
#include "DiscCheck.h"
#include "DiscFolder.h"
#include "DiscImage.h"
#include "FolderReader.h"
#include "ImageReader.h"
#include "ListedFile.h"
#include "Paths.h"
#include "ProgressLine.h"
#include "checklist/InfBytes.h"
#include "platform/Platform.h"

namespace {

namespace fs = std::filesystem;

bool ToCp932Text(const char* option, const std::string& text, std::string& cp932,
                 std::ostream& err) {
  if (platform::Utf8ToCp932(text, cp932)) return true;
  err << "crclist: " << option << " \"" << text << "\": the text has no CP932 form\n";
  return false;
}

std::string WhyUnwritable(const std::string& value) {
  if (value.find('"') != std::string::npos && value.find('\'') != std::string::npos) {
    return "it holds both quote characters, and a quoted value can hold only the other one";
  }
  return "it holds a byte that is no CP932 character";
}

// Lines without their line ends; a final line end starts no further line.
std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// What make takes from a file read to its end: its CRC-32, or why it has none.
bool TakeCrc(const FileOutcome& outcome, FileEntry& entry, std::string& problem) {
  switch (outcome.status) {
    case FileStatus::Missing:
      problem = "cannot be opened: " + outcome.reason;
      return false;
    case FileStatus::Unreadable:
      problem = "unreadable at byte " + std::to_string(outcome.failedAt) + ": " + outcome.reason;
      return false;
    case FileStatus::Intact:
    case FileStatus::CrcDiffers:
      if (outcome.bytesRead > 0xFFFFFFFFu) {
        problem = "is 4 GiB or larger, beyond the 32-bit sizes of a check list";
        return false;
      }
      if (outcome.bytesRead == static_cast<std::uint32_t>(entry.size)) {
        entry.crc = *outcome.foundCrc;
        return true;
      }
      break;
    default:
      break;
  }
  problem = "changed its size while it was read";
  return false;
}

// The entries that name the files, in the order of the list.
std::vector<FileEntry*> EntriesOf(CheckList& list) {
  std::vector<FileEntry*> entries;
  for (FileEntry& entry : list.cdFiles) entries.push_back(&entry);
  for (FileEntry& entry : list.gameDataFiles) entries.push_back(&entry);
  return entries;
}

// The list is written here first and renamed into place once whole.
fs::path TemporaryBeside(const fs::path& target) {
  fs::path temporary = target;
  temporary += ".crclist-new";
  return temporary;
}

std::string SystemReason() { return std::strerror(errno); }

// Files under the root's gamedata folder, whatever the case of its name, go into GAMEDATA.
void AddDiscFile(const DiscEntry& file, CheckList& list) {
  const std::string folder = inf::kGameDataFolder;
  FileEntry entry;
  entry.size = static_cast<std::int32_t>(file.size);
  const bool gameData = file.name.size() > folder.size() &&
                        DiscListing::Folded(file.name.substr(0, folder.size())) == "GAMEDATA\\";
  entry.name = gameData ? file.name.substr(folder.size()) : file.name;
  (gameData ? list.gameDataFiles : list.cdFiles).push_back(entry);
}

bool ByName(const FileEntry& a, const FileEntry& b) { return a.name < b.name; }

}  // namespace

MakeCommand::MakeCommand(MakeOptions chosen, std::function<bool()> stopPolled,
                         ProgressTerminal terminal)
    : options(std::move(chosen)),
      stopRequested(std::move(stopPolled)),
      progressTerminal(std::move(terminal)) {}

int MakeCommand::Run(std::ostream& out, std::ostream& err) const {
  std::string root;
  if (!FindDisc(root, err)) return 2;

  CheckList list;
  std::vector<std::string> registryPaths;
  DiscListing listing;
  if (!ReadTexts(list, err) || !ReadMessageFile(list, err) ||
      !ListRegistryFiles(list, registryPaths, err) || !ListDiscFiles(list, listing, err)) {
    return 2;
  }
  // Every value and the output are checked before any file is read.
  std::string text;
  std::string unwritable;
  if (!CheckListWriter::Write(list, text, unwritable)) {
    err << "crclist: \"" << platform::Cp932ToUtf8(unwritable)
        << "\" cannot be written into a check list: " << WhyUnwritable(unwritable) << "\n";
    return 2;
  }
  const fs::path temporary = TemporaryBeside(fs::u8path(OutputPath()));
  std::error_code error;
  if (fs::is_directory(fs::u8path(OutputPath()), error)) {
    err << "crclist: " << OutputPath() << ": cannot be written: it is a folder\n";
    return 2;
  }
  if (!std::ofstream(temporary, std::ios::binary)) {
    err << "crclist: " << OutputPath() << ": cannot be written: " << SystemReason() << "\n";
    return 2;
  }
  const int computed = ComputeChecksums(root, registryPaths, listing, list, err);
  if (computed != 0) {
    fs::remove(temporary, error);
    if (computed == 130) {
      err << "crclist: stopped; " << OutputPath()
          << (fs::exists(fs::u8path(OutputPath()), error) ? " is left as it was\n"
                                                          : " is not written\n");
    }
    return computed;
  }
  CheckListWriter::Write(list, text, unwritable);
  if (!ReplaceList(temporary, text, err)) return 2;

  out << "wrote " << OutputPath() << ": " << list.cdFiles.size() << " CDFILES, "
      << list.gameDataFiles.size() << " GAMEDATA and " << list.regFiles.size() << " REG entries\n";
  if (list.title.empty()) {
    err << "crclist: note: without --title Disksentry's dialogs and message boxes have no "
           "caption\n";
  }
  return 0;
}

bool MakeCommand::ReadTexts(CheckList& list, std::ostream& err) const {
  std::string driveInfo;
  if (!ToCp932Text("--title", options.title, list.title, err) ||
      !ToCp932Text("--game", options.gameKey, list.gameKey, err) ||
      !ToCp932Text("--drive-info", options.driveInfo, driveInfo, err)) {
    return false;
  }
  if (driveInfo.empty()) {
    err << "crclist: --drive-info is required: without a drive prompt Disksentry's disc check "
           "stops before any file\n";
    return false;
  }
  list.driveInfo.push_back(driveInfo);
  return true;
}

// The message file is UTF-8 text; each of its lines becomes one line of the MESSAGE section.
bool MakeCommand::ReadMessageFile(CheckList& list, std::ostream& err) const {
  if (options.messageFile.empty()) return true;
  std::ifstream file(fs::u8path(options.messageFile), std::ios::binary);
  std::ostringstream bytes;
  if (!(bytes << file.rdbuf())) {
    err << "crclist: " << options.messageFile << ": cannot be read\n";
    return false;
  }
  std::string text = bytes.str();
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
  const std::vector<std::string> lines = SplitLines(text);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::string line;
    if (!platform::Utf8ToCp932(lines[i], line)) {
      err << "crclist: " << options.messageFile << ":" << i + 1 << ": the line has no CP932 form\n";
      return false;
    }
    list.messageLines.push_back(line);
  }
  return true;
}

bool MakeCommand::ListRegistryFiles(CheckList& list, std::vector<std::string>& registryPaths,
                                    std::ostream& err) const {
  if (!options.registryFiles.empty() && options.gameKey.empty()) {
    err << "crclist: --reg needs --game: REG entries name values under the game's key\n";
    return false;
  }
  std::set<std::string> names;
  for (const std::string& pair : options.registryFiles) {
    const std::size_t equals = pair.find('=');
    if (equals == 0 || equals == std::string::npos || equals + 1 == pair.size()) {
      err << "crclist: --reg \"" << pair << "\": expected NAME=FILE\n";
      return false;
    }
    FileEntry entry;
    std::string path;
    if (!ToCp932Text("--reg", pair.substr(0, equals), entry.name, err) ||
        !paths::ToListPath(pair.substr(equals + 1), path, err)) {
      return false;
    }
    if (!names.insert(entry.name).second) {
      err << "crclist: --reg " << pair.substr(0, equals)
          << " is given twice: a registry value names one installed file\n";
      return false;
    }
    list.regFiles.push_back(entry);
    registryPaths.push_back(path);
  }
  return true;
}

// root is the folder as a CP932 path; empty for an image.
bool MakeCommand::FindDisc(std::string& root, std::ostream& err) const {
  if (!options.image.empty()) {
    if (!options.output.empty()) return true;
    err << "crclist: --image needs -o: the list cannot be written into the image\n";
    return false;
  }
  if (options.folder.empty()) {
    err << "crclist: DIR is required: the disc folder, or --image with the disc's image\n";
    return false;
  }
  std::error_code error;
  if (!fs::is_directory(fs::u8path(options.folder), error)) {
    err << "crclist: " << options.folder << ": no such folder\n";
    return false;
  }
  return paths::ToListPath(options.folder, root, err);
}

bool MakeCommand::ListDiscFiles(CheckList& list, DiscListing& listing, std::ostream& err) const {
  std::string error;
  const bool listed =
      options.image.empty()
          ? DiscFolder::List(options.folder, fs::u8path(OutputPath()), listing, error)
          : DiscImage::List(options.image, listing, error);
  if (!listed) {
    err << "crclist: " << error << "\n";
    return false;
  }
  const std::string& disc = options.image.empty() ? options.folder : options.image;
  for (const UnlistableFile& file : listing.Unlistable()) {
    err << "crclist: " << disc << ": "
        << (file.shownName.empty() ? "" : "\"" + file.shownName + "\" cannot be listed: ")
        << file.reason << "\n";
  }
  if (!listing.Unlistable().empty()) return false;
  for (const DiscEntry& file : listing.Files()) {
    const std::string twins = DiscCheck::Twins(file.name, listing);
    if (!twins.empty()) {
      err << "crclist: " << disc << ": " << twins << "\n";
      return false;
    }
    if (file.size > 0xFFFFFFFFu) {
      err << "crclist: " << platform::Cp932ToUtf8(file.name)
          << ": 4 GiB or larger, beyond the 32-bit sizes of a check list\n";
      return false;
    }
    // The image's own list is no file to list.
    if (!options.image.empty() && DiscListing::Folded(file.name) == "CRCLIST.INF") continue;
    AddDiscFile(file, list);
  }
  if (list.cdFiles.empty() && list.gameDataFiles.empty()) {
    err << "crclist: " << (options.image.empty() ? options.folder : options.image)
        << " holds no file to list, and a check of no files proves nothing\n";
    return false;
  }
  std::sort(list.cdFiles.begin(), list.cdFiles.end(), ByName);
  std::sort(list.gameDataFiles.begin(), list.gameDataFiles.end(), ByName);
  return true;
}

// 0 when every entry has its size and CRC-32, 2 when a file cannot be read, 130 when stopped.
// The registry files are read first, then the disc's: from the folder, or in one pass over the
// image in its own order.
int MakeCommand::ComputeChecksums(const std::string& root,
                                  const std::vector<std::string>& registryPaths,
                                  const DiscListing& listing, CheckList& list,
                                  std::ostream& err) const {
  std::vector<ListedFile> installed;
  for (std::size_t i = 0; i < list.regFiles.size(); ++i) {
    std::error_code error;
    const std::uintmax_t size = fs::file_size(fs::u8path(paths::Shown(registryPaths[i])), error);
    list.regFiles[i].size = static_cast<std::int32_t>(error ? 0 : size);
    installed.push_back({TokenCode::KwReg, registryPaths[i], list.regFiles[i]});
  }
  const std::vector<ListedFile> onDisc = DiscFiles(list);
  std::uint64_t totalBytes = 0;
  for (const ListedFile& file : installed) totalBytes += static_cast<std::uint32_t>(file.entry.size);
  for (const ListedFile& file : onDisc) totalBytes += static_cast<std::uint32_t>(file.entry.size);
  ProgressLine progress(err, progressTerminal, totalBytes, installed.size() + onDisc.size());
  std::string problem;
  std::string failed;
  const auto take = [&](std::vector<FileEntry*> entries, const std::vector<ListedFile>* files) {
    return [&, entries, files](std::size_t i, const FileOutcome& outcome) {
      if (TakeCrc(outcome, *entries[i], problem)) return true;
      failed = paths::Shown((*files)[i].path);
      return false;
    };
  };
  std::vector<FileEntry*> registryEntries;
  for (FileEntry& entry : list.regFiles) registryEntries.push_back(&entry);
  FolderReader installedReader("", "", installed, ReadingOrder::Sequential);
  bool read = ReadEach(installedReader, installed, 1, progress, stopRequested,
                       take(registryEntries, &installed));
  if (read && failed.empty()) {
    const std::unique_ptr<DiscReader> disc =
        options.image.empty()
            ? std::unique_ptr<DiscReader>(new FolderReader(root, options.folder, onDisc,
                                                           ReadingOrder::Auto))
            : std::unique_ptr<DiscReader>(new ImageReader(options.image, listing, onDisc));
    read = ReadEach(*disc, onDisc, installed.size() + 1, progress, stopRequested,
                    take(EntriesOf(list), &onDisc));
  }
  if (!read) return 130;
  if (failed.empty()) return 0;
  err << "crclist: " << failed << ": " << problem << "\n";
  return 2;
}

bool MakeCommand::ReplaceList(const fs::path& temporary, const std::string& text,
                              std::ostream& err) const {
  std::ofstream file(temporary, std::ios::binary);
  file.write(text.data(), static_cast<std::streamsize>(text.size()));
  file.close();
  std::error_code error;
  if (!file) {
    err << "crclist: " << OutputPath() << ": cannot be written: " << SystemReason() << "\n";
  } else {
    fs::rename(temporary, fs::u8path(OutputPath()), error);
    if (!error) return true;
    err << "crclist: " << OutputPath() << ": cannot be written: " << error.message() << "\n";
  }
  fs::remove(temporary, error);
  return false;
}

std::string MakeCommand::OutputPath() const {
  if (!options.output.empty()) return options.output;
  return (fs::u8path(options.folder) / "crclist.INF").u8string();
}
