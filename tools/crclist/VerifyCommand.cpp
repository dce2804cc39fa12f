#include "VerifyCommand.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <utility>
#include <vector>

#include "InvalidTokenLog.h"
#include "Paths.h"
#include "ProgressLine.h"
#include "verify/FileVerification.h"

namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kBoundary = 4096;

// A listed file: its name as the list gives it from the root, and what it must be.
struct ListedFile {
  std::string name;
  FileEntry entry;
};

std::vector<ListedFile> ListedFiles(const CheckList& list) {
  std::vector<ListedFile> files;
  for (const FileEntry& entry : list.cdFiles) files.push_back({entry.name, entry});
  for (const FileEntry& entry : list.gameDataFiles) {
    files.push_back({"gamedata\\" + entry.name, entry});
  }
  return files;
}

std::string Hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(value));
  return text;
}

// The size found, for the message; the verification itself only compares.
std::string FoundSize(const std::string& path) {
  const platform::FileHandle file = platform::OpenForReading(path.c_str());
  std::uint32_t size = 0;
  const bool known = file != platform::kNoFile && platform::GetFileSize32(file, size);
  if (file != platform::kNoFile) platform::CloseFile(file);
  return known ? std::to_string(size) : "an unknown size";
}

std::string Failure(VerificationResult result, const std::string& path, const FileEntry& entry) {
  const auto listedSize = static_cast<std::uint32_t>(entry.size);
  switch (result) {
    case VerificationResult::OpenFailed: return "missing or cannot be opened";
    case VerificationResult::SizeDiffers:
      return "wrong size: listed " + std::to_string(listedSize) + " bytes, found " +
             FoundSize(path);
    default: return "wrong CRC-32: listed " + Hex(entry.crc);
  }
}

}  // namespace

VerifyCommand::VerifyCommand(VerifyOptions chosen, std::function<bool()> stopPolled,
                             bool progressShown)
    : options(std::move(chosen)),
      stopRequested(std::move(stopPolled)),
      showProgress(progressShown) {}

int VerifyCommand::Run(std::ostream& out, std::ostream& err) const {
  CheckList list;
  std::string root;
  if (!LoadList(list, root, err)) return 2;
  return VerifyFiles(list, root, out, err);
}

bool VerifyCommand::LoadList(CheckList& list, std::string& root, std::ostream& err) const {
  std::error_code error;
  if (!fs::is_directory(fs::u8path(options.root), error)) {
    err << "crclist: " << options.root << ": no such folder\n";
    return false;
  }
  std::string path;
  if (!paths::ToListPath(options.root, root, err)) return false;
  if (options.list.empty()) {
    path = paths::Join(root, "crclist.INF");
  } else if (!paths::ToListPath(options.list, path, err)) {
    return false;
  }
  const std::string shownPath = platform::Cp932ToUtf8(path);

  const InvalidTokenLog invalidTokens;
  const bool loaded = list.Load(path.c_str());
  for (const std::string& token : invalidTokens.Tokens()) {
    err << "crclist: " << shownPath << ": invalid token \"" << platform::Cp932ToUtf8(token)
        << "\"\n";
  }
  if (!loaded) {
    err << "crclist: " << shownPath
        << ": the check list cannot be loaded (crclist lint tells why)\n";
    return false;
  }
  if (list.driveInfo.empty()) {
    err << "crclist: " << shownPath << ": no DRIVEINFO value, so the program's disc check stops "
        << "before any file\n";
    return false;
  }
  return true;
}

int VerifyCommand::VerifyFiles(const CheckList& list, const std::string& root, std::ostream& out,
                               std::ostream& err) const {
  const std::vector<ListedFile> files = ListedFiles(list);
  ProgressLine progress(err, showProgress);
  // A boundary comes after each block of up to 4096 bytes of a file of the listed size.
  std::uint32_t fileSize = 0;
  std::uint32_t fileCounted = 0;
  VerificationProgress callbacks;
  callbacks.boundaryReached = [&] {
    const std::uint32_t block = std::min(kBoundary, fileSize - fileCounted);
    fileCounted += block;
    progress.AddBytes(block);
    return !stopRequested();
  };
  callbacks.setPercent = [&](int percent) { progress.SetPercent(percent); };

  std::size_t failures = 0;
  for (std::size_t i = 0; i < files.size(); ++i) {
    const ListedFile& file = files[i];
    const std::string path = paths::Join(root, file.name);
    const std::string shownName = platform::Cp932ToUtf8(file.name);
    progress.StartFile(shownName, i + 1, files.size());
    fileSize = static_cast<std::uint32_t>(file.entry.size);
    fileCounted = 0;
    const VerificationResult result =
        VerifyFileContents(path.c_str(), file.entry.size, file.entry.crc, callbacks);
    // As in the program, a stop counts whatever the file's result.
    if (stopRequested()) {
      progress.Clear();
      out << "stopped after " << i << " of " << files.size() << " files\n";
      return 1;
    }
    if (result == VerificationResult::Intact) continue;
    progress.Clear();
    out << shownName << ": " << Failure(result, path, file.entry) << "\n";
    ++failures;
    if (!options.keepGoing) {
      out << "stopped at the first failure, as Disksentry does (--keep-going verifies every "
             "file)\n";
      return 1;
    }
  }
  progress.Clear();
  if (failures != 0) {
    out << failures << " of " << files.size() << " files failed\n";
    return 1;
  }
  out << "all " << files.size() << " files verified\n";
  return 0;
}
