#include "MakeCommand.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <utility>

#include "CheckListWriter.h"
#include "DiscFolder.h"
#include "DiscImage.h"
#include "FileChecksum.h"
#include "ImageReader.h"
#include "ListedFile.h"
#include "Paths.h"
#include "ProgressLine.h"
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

// A file to read for an entry: its CP932 path, its name as shown, and the entry it fills.
struct Source {
  std::string path;
  std::string shownName;
  FileEntry* entry;
};

// The disc files are left out when root is empty: an image's are read by ChecksumImageFiles.
std::vector<Source> Sources(const std::string& root, const std::vector<std::string>& registryPaths,
                            CheckList& list) {
  std::vector<Source> sources;
  for (std::size_t i = 0; i < list.regFiles.size(); ++i) {
    sources.push_back(
        {registryPaths[i], platform::Cp932ToUtf8(registryPaths[i]), &list.regFiles[i]});
  }
  if (root.empty()) return sources;
  for (FileEntry& entry : list.cdFiles) {
    sources.push_back({paths::Join(root, entry.name), platform::Cp932ToUtf8(entry.name), &entry});
  }
  for (FileEntry& entry : list.gameDataFiles) {
    const std::string name = "gamedata\\" + entry.name;
    sources.push_back({paths::Join(root, name), platform::Cp932ToUtf8(name), &entry});
  }
  return sources;
}

bool ComputeChecksums(const std::vector<Source>& sources, bool showProgress, std::ostream& err) {
  ProgressLine progress(err, showProgress);
  for (std::size_t i = 0; i < sources.size(); ++i) {
    const Source& source = sources[i];
    progress.StartFile(source.shownName, i + 1, sources.size());
    std::uint64_t fileRead = 0;
    const auto blockRead = [&](std::uint32_t blockBytes, std::uint32_t fileSize) {
      fileRead += blockBytes;
      progress.AddBytes(blockBytes);
      progress.SetPercent(fileSize == 0 ? 100 : static_cast<int>(fileRead * 100 / fileSize));
    };
    std::string problem;
    if (!FileChecksum::Compute(source.path, blockRead, *source.entry, problem)) {
      progress.Clear();
      err << "crclist: " << source.shownName << ": " << problem << "\n";
      return false;
    }
  }
  progress.Clear();
  return true;
}

// Files under the root's gamedata folder, whatever the case of its name, go into GAMEDATA.
void AddDiscFile(const DiscEntry& file, CheckList& list) {
  const std::string folder = "gamedata\\";
  FileEntry entry;
  entry.size = static_cast<std::int32_t>(file.size);
  const bool gameData = file.name.size() > folder.size() &&
                        DiscListing::Folded(file.name.substr(0, folder.size())) == "GAMEDATA\\";
  entry.name = gameData ? file.name.substr(folder.size()) : file.name;
  (gameData ? list.gameDataFiles : list.cdFiles).push_back(entry);
}

bool ByName(const FileEntry& a, const FileEntry& b) { return a.name < b.name; }

}  // namespace

MakeCommand::MakeCommand(MakeOptions chosen, bool progressShown)
    : options(std::move(chosen)), showProgress(progressShown) {}

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
  // Every value is checked before any file is read.
  std::string text;
  std::string unwritable;
  if (!CheckListWriter::Write(list, text, unwritable)) {
    err << "crclist: \"" << platform::Cp932ToUtf8(unwritable)
        << "\" cannot be written into a check list: " << WhyUnwritable(unwritable) << "\n";
    return 2;
  }
  if (!ComputeChecksums(Sources(root, registryPaths, list), showProgress, err) ||
      (!options.image.empty() && !ChecksumImageFiles(listing, list, err))) {
    return 2;
  }
  CheckListWriter::Write(list, text, unwritable);
  if (!WriteList(text, err)) return 2;

  out << "wrote " << OutputPath() << ": " << list.cdFiles.size() << " CDFILES, "
      << list.gameDataFiles.size() << " GAMEDATA and " << list.regFiles.size() << " REG entries\n";
  if (list.title.empty()) {
    err << "crclist: note: without --title Disksentry's dialogs and message boxes have no "
           "caption\n";
  }
  if (list.driveInfo.empty()) {
    err << "crclist: note: without --drive-info Disksentry's disc check stops before any file\n";
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
  if (!driveInfo.empty()) list.driveInfo.push_back(driveInfo);
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
  for (const DiscEntry& file : listing.Files()) {
    if (file.size > 0xFFFFFFFFu) {
      err << "crclist: " << platform::Cp932ToUtf8(file.name)
          << ": 4 GiB or larger, beyond the 32-bit sizes of a check list\n";
      return false;
    }
    // The image's own list is no file to list.
    if (!options.image.empty() && DiscListing::Folded(file.name) == "CRCLIST.INF") continue;
    AddDiscFile(file, list);
  }
  std::sort(list.cdFiles.begin(), list.cdFiles.end(), ByName);
  std::sort(list.gameDataFiles.begin(), list.gameDataFiles.end(), ByName);
  return true;
}

// One pass over the image in its own order gives every file's CRC-32.
bool MakeCommand::ChecksumImageFiles(const DiscListing& listing, CheckList& list,
                                     std::ostream& err) const {
  const std::vector<ListedFile> files = DiscFiles(list);
  ImageReader reader(options.image, listing, files);
  ProgressLine progress(err, showProgress);
  for (std::size_t i = 0; i < files.size(); ++i) {
    const std::string shownName = platform::Cp932ToUtf8(files[i].path);
    progress.StartFile(shownName, i + 1, files.size());
    const auto size = static_cast<std::uint32_t>(files[i].entry.size);
    std::uint64_t fileRead = 0;
    const FileOutcome outcome = reader.Verify(files[i], [&](std::uint64_t bytes) {
      fileRead += bytes;
      progress.AddBytes(bytes);
      progress.SetPercent(size == 0 ? 100 : static_cast<int>(fileRead * 100 / size));
      return true;
    });
    if (!outcome.foundCrc) {
      progress.Clear();
      err << "crclist: " << shownName << ": " << outcome.reason << "\n";
      return false;
    }
    const std::size_t cdFiles = list.cdFiles.size();
    (i < cdFiles ? list.cdFiles[i] : list.gameDataFiles[i - cdFiles]).crc = *outcome.foundCrc;
  }
  progress.Clear();
  return true;
}

bool MakeCommand::WriteList(const std::string& text, std::ostream& err) const {
  std::ofstream file(fs::u8path(OutputPath()), std::ios::binary);
  file.write(text.data(), static_cast<std::streamsize>(text.size()));
  file.close();
  if (file) return true;
  err << "crclist: " << OutputPath() << ": cannot be written\n";
  return false;
}

std::string MakeCommand::OutputPath() const {
  if (!options.output.empty()) return options.output;
  return (fs::u8path(options.folder) / "crclist.INF").u8string();
}
