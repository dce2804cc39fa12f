#include "disc/FolderReader.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <iterator>
#include <set>

#include "disc/DiscFolder.h"
#include "disc/FileBytes.h"
#include "lists/Paths.h"
#include "platform/Platform.h"
#include "system/OperatingSystem.h"

namespace {

namespace fs = std::filesystem;

// Enough files ahead to keep a solid-state or network device busy with files of a few dozen
// kilobytes.
constexpr std::size_t kFilesAhead = 32;
// A name that leads out of the root, or what is no file, is given no path: nothing is read there.
std::vector<std::string> JoinedPaths(const std::string& root, const std::vector<ListedFile>& files,
                                     const std::vector<std::string>& refusals) {
  std::vector<std::string> joined;
  for (std::size_t i = 0; i < files.size(); ++i) {
    joined.push_back(refusals[i].empty() ? paths::Join(root, files[i].path) : "");
  }
  return joined;
}

// Why the file at relative (UTF-8) under root is not read, or nothing. What the file is comes
// first, wherever a link to it leads. Each folder on the way is looked at once for all the files
// in it, so that a regular file costs one look of its own.
std::string Refusal(const fs::path& root, const fs::path& relative, std::set<fs::path>& inside) {
  fs::path path = root;
  fs::file_status status;
  std::string outside;
  auto remaining = std::distance(relative.begin(), relative.end());
  for (const fs::path& part : relative) {
    path /= part;
    const bool isFolder = --remaining > 0;
    if (isFolder && inside.count(path) != 0) continue;
    std::error_code error;
    status = fs::symlink_status(path, error);
    if (fs::is_symlink(status) && outside.empty()) {
      outside = disc_folder::LinkOutside(
          path, root, path.lexically_relative(root).make_preferred().u8string());
    }
    if (isFolder && outside.empty()) inside.insert(path);
  }
  std::error_code error;
  if (fs::is_symlink(status)) status = fs::status(path, error);
  const std::string notAFile = disc_folder::NotAFile(status.type());
  return notAFile.empty() ? outside : notAFile;
}

std::vector<std::string> Refusals(const std::string& root, const std::vector<ListedFile>& files) {
  // A root that does not resolve holds nothing to refuse; its files fail as they open.
  const fs::path given = fs::u8path(platform::NativePath(root));
  std::error_code error;
  const fs::path canonical = root.empty() ? given : fs::canonical(given, error);
  const fs::path& base = error ? given : canonical;
  std::set<fs::path> inside;
  std::vector<std::string> refusals;
  for (const ListedFile& file : files) {
    const bool leaves = !root.empty() && paths::LeavesDisc(file.entry.name);
    refusals.push_back(
        leaves ? "the name leads outside the disc's folder, and crclist reads nothing there"
               : Refusal(base, fs::u8path(platform::NativePath(file.path)), inside));
  }
  return refusals;
}

std::size_t FilesAhead(const std::string& shownRoot, ReadingOrder order) {
  if (order == ReadingOrder::Auto) {
    order = os::GainsFromReadsInFlight(shownRoot) ? ReadingOrder::Parallel : ReadingOrder::Sequential;
  }
  return order == ReadingOrder::Parallel ? kFilesAhead : 0;
}

}  // namespace

FolderReader::FolderReader(const std::string& root, const std::string& shownRoot,
                           const std::vector<ListedFile>& files, ReadingOrder order)
    : refusals(Refusals(root, files)),
      paths(JoinedPaths(root, files, refusals)),
      readAhead(paths, FilesAhead(shownRoot, order)),
      buffer(new ReadBuffer) {}

FileOutcome FolderReader::Verify(const ListedFile& listed, const Progress& progress) {
  const auto started = std::chrono::steady_clock::now();
  const std::size_t index = next++;
  readAhead.Reached(index);
  if (!refusals[index].empty()) {
    FileOutcome refused;
    refused.status = FileStatus::Refused;
    refused.reason = refusals[index];
    return refused;
  }
  FileBytes file(paths[index], buffer->bytes, kReadSize,
                 [&progress](std::uint32_t bytes) { progress(bytes); });
  VerificationOutcome verified;
  if (file.IsOpen()) {
    verified = VerifyBytes(file, file.Size(), listed.entry.size, listed.entry.crc, Polling(progress));
  } else {
    verified.result = VerificationResult::OpenFailed;
    verified.reason = file.Reason();
  }
  FileOutcome outcome = FileOutcome::Of(verified, file.Size(), listed.entry.crc);
  outcome.seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  return outcome;
}
