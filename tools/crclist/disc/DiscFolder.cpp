#include "disc/DiscFolder.h"

#include <algorithm>
#include <cctype>
#include <system_error>
#include <utility>
#include <vector>

#include "lists/Cp932Name.h"
#include "platform/Platform.h"
#include "system/OperatingSystem.h"

namespace {

namespace fs = std::filesystem;

bool IsCheckListName(const fs::path& relative) {
  const std::string name = relative.u8string();
  const std::string expected = "crclist.inf";
  return std::equal(name.begin(), name.end(), expected.begin(), expected.end(), [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) == b;
  });
}

// The relative path with backslashes in CP932; false, with the reason, when it has no such form.
bool ListName(const fs::path& relative, std::string& name, std::string& reason) {
  name.clear();
  for (const fs::path& part : relative) {
    const std::string utf8 = part.u8string();
    // Only a POSIX name can hold one; the check list would read it as a separator.
    if (utf8.find('\\') != std::string::npos) {
      reason = "the name holds a backslash, which a check list reads as a folder separator";
      return false;
    }
    std::string cp932;
    if (!platform::Utf8ToCp932(utf8, cp932)) {
      reason = cp932_name::WhyUnwritable(utf8);
      return false;
    }
    name += (name.empty() ? "" : "\\") + cp932;
  }
  return true;
}

// Only a file of the same name is asked whether it is the one skipped: the listing costs no
// further look at each file.
bool IsSkipped(const fs::path& file, const fs::path& skip) {
  std::error_code error;
  return file.filename() == skip.filename() && fs::equivalent(file, skip, error);
}

// Adds the file, or one that no list can name to unlistable, or gives false with the reason.
bool AddFile(const fs::directory_entry& entry, const fs::path& relative, bool withSize,
             std::vector<DiscEntry>& files, std::vector<UnlistableFile>& unlistable,
             std::string& reason) {
  std::error_code failure;
  if (!entry.is_regular_file(failure)) {
    reason = disc_folder::NotAFile(entry.status(failure).type());
    if (reason.empty()) reason = "neither a file nor a folder";
    return false;
  }
  DiscEntry file{"", std::nullopt};
  if (withSize) {
    file.size = entry.file_size(failure);
    if (failure || *file.size > 0xFFFFFFFFu) {
      reason = failure ? os::ErrorText(failure)
                       : "4 GiB or larger, beyond the 32-bit sizes of a check list";
      return false;
    }
  }
  if (!ListName(relative, file.name, reason)) {
    std::string shown = relative.generic_u8string();
    std::replace(shown.begin(), shown.end(), '/', '\\');
    const bool holdsBackslash = relative.generic_u8string().find('\\') != std::string::npos;
    unlistable.push_back({shown, holdsBackslash ? "" : cp932_name::Nearest(shown), reason});
    return true;
  }
  files.push_back(file);
  return true;
}

}  // namespace

namespace disc_folder {

bool List(const std::string& root, const fs::path& skip, Sizes sizes, DiscListing& listing,
          std::string& error) {
  std::vector<DiscEntry> files;
  std::vector<UnlistableFile> unlistable;
  const fs::path rootPath = fs::u8path(root);
  // Every path the walk gives starts with the root and a separator.
  const fs::path::string_type& rootText = rootPath.native();
  const bool endsInSeparator = !rootText.empty() && (rootText.back() == fs::path::preferred_separator ||
                                                     rootText.back() == '/');
  const std::size_t prefix = rootText.size() + (endsInSeparator ? 0 : 1);
  std::error_code failure;
  const fs::path canonicalRoot = fs::canonical(rootPath, failure);
  fs::recursive_directory_iterator walk(rootPath, fs::directory_options::follow_directory_symlink,
                                        failure);
  for (; !failure && walk != fs::recursive_directory_iterator(); walk.increment(failure)) {
    const fs::path relative = walk->path().native().substr(prefix);
    // Named in messages as the system writes paths, as verify names the files it reads.
    const auto shown = [&relative] { return fs::path(relative).make_preferred().u8string(); };
    const bool isFolder = walk->is_directory(failure);
    if (failure && walk->is_symlink()) {
      error = shown() + ": a broken symbolic link to " +
              fs::read_symlink(walk->path(), failure).u8string();
      return false;
    }
    if (failure) break;
    // What is no file is named for what it is, wherever a link to it leads.
    const bool isFile = walk->is_regular_file(failure);
    const std::string outside =
        (isFolder || isFile) && walk->is_symlink()
            ? disc_folder::LinkOutside(walk->path(), canonicalRoot, shown())
            : "";
    if (!outside.empty()) {
      error = outside;
      return false;
    }
    const bool isCheckList = relative == relative.filename() && IsCheckListName(relative);
    if (isFolder || isCheckList || IsSkipped(walk->path(), skip)) continue;
    std::string reason;
    if (!AddFile(*walk, relative, sizes == Sizes::Listed, files, unlistable, reason)) {
      error = shown() + ": " + reason;
      return false;
    }
  }
  if (failure) {
    error = root + ": " + os::ErrorText(failure);
    return false;
  }
  std::sort(files.begin(), files.end(),
            [](const DiscEntry& a, const DiscEntry& b) { return a.name < b.name; });
  listing = DiscListing(std::move(files), std::move(unlistable));
  return true;
}

std::string NotAFile(fs::file_type type) {
  const char* kind = type == fs::file_type::fifo        ? "a FIFO"
                     : type == fs::file_type::socket    ? "a socket"
                     : type == fs::file_type::character ? "a character device"
                     : type == fs::file_type::block     ? "a block device"
                                                        : nullptr;
  return kind == nullptr ? "" : std::string(kind) + ", not a file: Disksentry cannot check it";
}

std::string LinkOutside(const fs::path& path, const fs::path& root, const std::string& shownLink) {
  std::error_code error;
  const fs::path target = fs::canonical(path, error);
  const bool inside =
      std::mismatch(root.begin(), root.end(), target.begin(), target.end()).first == root.end();
  if (error || inside) return "";
  return "the symbolic link " + shownLink + " leads outside the disc's folder, to " +
         target.u8string() + ", and crclist reads nothing there";
}

}  // namespace disc_folder
