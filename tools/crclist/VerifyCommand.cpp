#include "VerifyCommand.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <utility>
#include <vector>

#include "DiscImage.h"
#include "FolderReader.h"
#include "ImageReader.h"
#include "InvalidTokenLog.h"
#include "Paths.h"
#include "ProgressLine.h"
#include "TemporaryFile.h"

namespace {

namespace fs = std::filesystem;

std::string Hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(value));
  return text;
}

std::string Failure(const FileOutcome& outcome, const FileEntry& entry) {
  switch (outcome.status) {
    case FileStatus::Missing: return "missing or cannot be opened";
    case FileStatus::SizeDiffers:
      return "wrong size: listed " + std::to_string(static_cast<std::uint32_t>(entry.size)) +
             " bytes, found " + std::to_string(*outcome.foundSize);
    case FileStatus::Unreadable:
      return "unreadable at byte " + std::to_string(outcome.failedAt) + ": " + outcome.reason;
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
  const std::vector<ListedFile> files = DiscFiles(list);
  const std::unique_ptr<DiscReader> reader = OpenDisc(root, files, err);
  if (!reader) return 2;
  return VerifyFiles(files, *reader, out, err);
}

bool VerifyCommand::LoadList(CheckList& list, std::string& root, std::ostream& err) const {
  if (!options.image.empty() && options.list.empty()) return LoadImageList(list, err);
  std::string path;
  if (!options.image.empty()) {
    return paths::ToListPath(options.list, path, err) &&
           UseList(list, path, platform::Cp932ToUtf8(path), err);
  }
  std::error_code error;
  if (!fs::is_directory(fs::u8path(options.root), error)) {
    err << "crclist: " << options.root << ": no such folder\n";
    return false;
  }
  if (!paths::ToListPath(options.root, root, err)) return false;
  if (options.list.empty()) {
    path = paths::Join(root, "crclist.INF");
  } else if (!paths::ToListPath(options.list, path, err)) {
    return false;
  }
  return UseList(list, path, platform::Cp932ToUtf8(path), err);
}

bool VerifyCommand::LoadImageList(CheckList& list, std::ostream& err) const {
  std::string bytes;
  std::string error;
  if (!DiscImage::ReadFile(options.image, "crclist.INF", bytes, error)) {
    err << "crclist: " << error << "\n";
    return false;
  }
  const TemporaryFile copy(bytes);
  std::string path;
  return paths::ToListPath(copy.Path(), path, err) &&
         UseList(list, path, options.image + ": crclist.INF", err);
}

bool VerifyCommand::UseList(CheckList& list, const std::string& path, const std::string& shownPath,
                            std::ostream& err) const {
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

std::unique_ptr<DiscReader> VerifyCommand::OpenDisc(const std::string& root,
                                                    const std::vector<ListedFile>& files,
                                                    std::ostream& err) const {
  if (options.image.empty()) {
    return std::make_unique<FolderReader>(root, options.root, files, options.reading);
  }
  DiscListing listing;
  std::string error;
  if (DiscImage::List(options.image, listing, error)) {
    return std::make_unique<ImageReader>(options.image, std::move(listing), files);
  }
  err << "crclist: " << error << "\n";
  return nullptr;
}

int VerifyCommand::VerifyFiles(const std::vector<ListedFile>& files, DiscReader& reader,
                               std::ostream& out, std::ostream& err) const {
  ProgressLine progress(err, showProgress);
  std::size_t failures = 0;
  for (std::size_t i = 0; i < files.size(); ++i) {
    const ListedFile& file = files[i];
    const std::string shownName = platform::Cp932ToUtf8(file.path);
    progress.StartFile(shownName, i + 1, files.size());
    const auto size = static_cast<std::uint32_t>(file.entry.size);
    std::uint64_t fileRead = 0;
    const FileOutcome outcome = reader.Verify(file, [&](std::uint64_t bytes) {
      fileRead += bytes;
      progress.AddBytes(bytes);
      progress.SetPercent(size == 0 ? 100 : static_cast<int>(std::min<std::uint64_t>(fileRead * 100 / size, 100)));
      return !stopRequested();
    });
    // As in the program, a stop counts whatever the file's result.
    if (stopRequested()) {
      progress.Clear();
      out << "stopped after " << i << " of " << files.size() << " files\n";
      return 1;
    }
    if (outcome.status == FileStatus::Intact) continue;
    progress.Clear();
    out << shownName << ": " << Failure(outcome, file.entry) << "\n";
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
