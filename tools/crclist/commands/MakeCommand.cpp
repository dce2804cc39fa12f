#include "commands/MakeCommand.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <utility>

#include "checklist/InfBytes.h"
#include "commands/ReadEach.h"
#include "disc/DiscFolder.h"
#include "disc/DiscImage.h"
#include "disc/FolderReader.h"
#include "disc/ImageReader.h"
#include "lists/CheckListWriter.h"
#include "lists/DiscCheck.h"
#include "lists/ListedFile.h"
#include "lists/Paths.h"
#include "platform/Platform.h"
#include "system/OperatingSystem.h"
#include "terminal/ProgressLine.h"

namespace {

namespace fs = std::filesystem;

// The disc's files that no list can name, each with why: one on the line, several below it.
std::string Unlistable(const std::vector<UnlistableFile>& files) {
  const auto describe = [](const UnlistableFile& file) {
    return (file.shownName.empty() ? "" : "\"" + file.shownName + "\" cannot be listed: ") +
           file.reason;
  };
  if (files.size() == 1) return describe(files.front());
  std::string text = std::to_string(files.size()) + " files cannot be listed:";
  for (const UnlistableFile& file : files) text += "\n  " + describe(file);
  return text;
}

bool ToCp932Text(const char* option, const std::string& text, std::string& cp932,
                 std::string& why) {
  if (platform::Utf8ToCp932(text, cp932)) return true;
  why = std::string(option) + " \"" + text + "\": the text has no CP932 form";
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
    case FileStatus::Refused:
      problem = outcome.reason;
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
  entry.size = static_cast<std::int32_t>(*file.size);
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

CommandOutcome MakeCommand::Run(std::ostream& out, std::ostream& err) const {
  std::string why;
  std::string root;
  if (!FindDisc(root, why)) return {2, why};

  CheckList list;
  std::vector<std::string> registryPaths;
  DiscListing listing;
  if (!ReadTexts(list, why) || !ReadMessageFile(list, why) ||
      !ListRegistryFiles(list, registryPaths, why) || !ListDiscFiles(list, listing, why)) {
    return {2, why};
  }
  // Every value and the output are checked before any file is read.
  std::string text;
  std::string unwritable;
  if (!check_list_writer::Write(list, text, unwritable)) {
    return {2, "\"" + platform::Cp932ToUtf8(unwritable) +
                   "\" cannot be written into a check list: " + WhyUnwritable(unwritable)};
  }
  const fs::path temporary = TemporaryBeside(fs::u8path(OutputPath()));
  std::error_code error;
  if (fs::is_directory(fs::u8path(OutputPath()), error)) {
    return {2, OutputPath() + ": cannot be written: it is a folder"};
  }
  if (!std::ofstream(temporary, std::ios::binary)) {
    return {2, OutputPath() + ": cannot be written: " + SystemReason()};
  }
  const int computed = ComputeChecksums(root, registryPaths, listing, list, err, why);
  if (computed != 0) {
    fs::remove(temporary, error);
    if (computed == 130) {
      why =
          "stopped; " + OutputPath() +
          (fs::exists(fs::u8path(OutputPath()), error) ? " is left as it was" : " is not written");
    }
    return {computed, why};
  }
  check_list_writer::Write(list, text, unwritable);
  if (!ReplaceList(temporary, text, why)) return {2, why};

  out << "wrote " << OutputPath() << ": " << list.cdFiles.size() << " CDFILES, "
      << list.gameDataFiles.size() << " GAMEDATA and " << list.regFiles.size() << " REG entries\n";
  if (list.title.empty()) {
    return {0, "note: without --title Disksentry's dialogs and message boxes have no caption"};
  }
  return {0, ""};
}

bool MakeCommand::ReadTexts(CheckList& list, std::string& why) const {
  std::string driveInfo;
  if (!ToCp932Text("--title", options.title, list.title, why) ||
      !ToCp932Text("--game", options.gameKey, list.gameKey, why) ||
      !ToCp932Text("--drive-info", options.driveInfo, driveInfo, why)) {
    return false;
  }
  if (driveInfo.empty()) {
    why = "--drive-info is required: without a drive prompt Disksentry's disc check stops "
          "before any file";
    return false;
  }
  list.driveInfo.push_back(driveInfo);
  return true;
}

// The message file is UTF-8 text; each of its lines becomes one line of the MESSAGE section.
bool MakeCommand::ReadMessageFile(CheckList& list, std::string& why) const {
  if (options.messageFile.empty()) return true;
  std::ifstream file(fs::u8path(options.messageFile), std::ios::binary);
  std::ostringstream bytes;
  if (!(bytes << file.rdbuf())) {
    why = options.messageFile + ": cannot be read";
    return false;
  }
  std::string text = bytes.str();
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
  const std::vector<std::string> lines = SplitLines(text);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::string line;
    if (!platform::Utf8ToCp932(lines[i], line)) {
      why = options.messageFile + ":" + std::to_string(i + 1) + ": the line has no CP932 form";
      return false;
    }
    list.messageLines.push_back(line);
  }
  return true;
}

bool MakeCommand::ListRegistryFiles(CheckList& list, std::vector<std::string>& registryPaths,
                                    std::string& why) const {
  if (!options.registryFiles.empty() && options.gameKey.empty()) {
    why = "--reg needs --game: REG entries name values under the game's key";
    return false;
  }
  std::set<std::string> names;
  for (const std::string& pair : options.registryFiles) {
    const std::size_t equals = pair.find('=');
    if (equals == 0 || equals == std::string::npos || equals + 1 == pair.size()) {
      why = "--reg \"" + pair + "\": expected NAME=FILE";
      return false;
    }
    FileEntry entry;
    std::string path;
    if (!ToCp932Text("--reg", pair.substr(0, equals), entry.name, why) ||
        !paths::ToListPath(pair.substr(equals + 1), path, why)) {
      return false;
    }
    if (!names.insert(entry.name).second) {
      why = "--reg " + pair.substr(0, equals) +
            " is given twice: a registry value names one installed file";
      return false;
    }
    list.regFiles.push_back(entry);
    registryPaths.push_back(path);
  }
  return true;
}

// root is the folder as a CP932 path; empty for an image.
bool MakeCommand::FindDisc(std::string& root, std::string& why) const {
  if (!options.image.empty()) {
    if (!options.output.empty()) return true;
    why = "--image needs -o: the list cannot be written into the image";
    return false;
  }
  if (options.folder.empty()) {
    why = "DIR is required: the disc folder, or --image with the disc's image";
    return false;
  }
  std::error_code error;
  if (!fs::is_directory(fs::u8path(options.folder), error)) {
    why = options.folder + ": no such folder";
    return false;
  }
  return paths::ToListPath(options.folder, root, why);
}

bool MakeCommand::ListDiscFiles(CheckList& list, DiscListing& listing, std::string& why) const {
  const bool listed =
      options.image.empty()
          ? disc_folder::List(options.folder, fs::u8path(OutputPath()),
                              disc_folder::Sizes::Listed, listing, why)
          : DiscImage::List(options.image, listing, why);
  if (!listed) return false;
  const std::string& disc = options.image.empty() ? options.folder : options.image;
  if (!listing.Unlistable().empty()) {
    why = disc + ": " + Unlistable(listing.Unlistable());
    return false;
  }
  for (const DiscEntry& file : listing.Files()) {
    const std::string twins = disc_check::Twins(file.name, listing);
    if (!twins.empty()) {
      why = disc + ": " + twins;
      return false;
    }
    if (*file.size > 0xFFFFFFFFu) {
      why = platform::Cp932ToUtf8(file.name) +
            ": 4 GiB or larger, beyond the 32-bit sizes of a check list";
      return false;
    }
    // The image's own list is no file to list.
    if (!options.image.empty() && DiscListing::Folded(file.name) == "CRCLIST.INF") continue;
    AddDiscFile(file, list);
  }
  if (list.cdFiles.empty() && list.gameDataFiles.empty()) {
    why = (options.image.empty() ? options.folder : options.image) +
          " holds no file to list, and a check of no files proves nothing";
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
                                  std::ostream& err, std::string& why) const {
  std::vector<ListedFile> installed;
  for (std::size_t i = 0; i < list.regFiles.size(); ++i) {
    std::error_code error;
    const std::uintmax_t size =
        fs::file_size(fs::u8path(platform::NativePath(registryPaths[i])), error);
    list.regFiles[i].size = static_cast<std::int32_t>(error ? 0 : size);
    installed.push_back({TokenCode::KwReg, registryPaths[i], list.regFiles[i]});
  }
  const std::vector<ListedFile> onDisc = DiscFiles(list);
  std::uint64_t totalBytes = 0;
  for (const ListedFile& file : installed) {
    totalBytes += static_cast<std::uint32_t>(file.entry.size);
  }
  for (const ListedFile& file : onDisc) totalBytes += static_cast<std::uint32_t>(file.entry.size);
  ProgressLine progress(err, progressTerminal, totalBytes, installed.size() + onDisc.size());
  std::string problem;
  std::string failed;
  const auto take = [&](std::vector<FileEntry*> entries, const std::vector<ListedFile>* files) {
    return [&, entries, files](std::size_t i, const FileOutcome& outcome) {
      if (TakeCrc(outcome, *entries[i], problem)) return true;
      failed = platform::NativePath((*files)[i].path);
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
            : std::unique_ptr<DiscReader>(new ImageReader(options.image, listing));
    read = ReadEach(*disc, onDisc, installed.size() + 1, progress, stopRequested,
                    take(EntriesOf(list), &onDisc));
  }
  if (!read) return 130;
  if (failed.empty()) return 0;
  why = failed + ": " + problem;
  return 2;
}

bool MakeCommand::ReplaceList(const fs::path& temporary, const std::string& text,
                              std::string& why) const {
  std::ofstream file(temporary, std::ios::binary);
  file.write(text.data(), static_cast<std::streamsize>(text.size()));
  file.close();
  std::error_code error;
  if (!file) {
    why = OutputPath() + ": cannot be written: " + SystemReason();
  } else {
    fs::rename(temporary, fs::u8path(OutputPath()), error);
    if (!error) return true;
    why = OutputPath() + ": cannot be written: " + os::ErrorText(error);
  }
  fs::remove(temporary, error);
  return false;
}

std::string MakeCommand::OutputPath() const {
  if (!options.output.empty()) return options.output;
  return (fs::u8path(options.folder) / "crclist.INF").u8string();
}
