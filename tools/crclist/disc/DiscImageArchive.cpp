// Disc images through libarchive, which Debian builds for Linux only.

#include "disc/DiscImage.h"

#include <archive.h>
#include <archive_entry.h>
#include <locale.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <utility>

#include "lists/Cp932Name.h"
#include "platform/Platform.h"

namespace {

constexpr std::size_t kReadSize = 0x100000;

// libarchive gives Joliet names in the character set of the thread's locale: UTF-8 while it
// reads them here, whatever the process's locale. The locale is made once: making it costs more
// than reading a file's header.
class Utf8Locale {
 public:
  Utf8Locale() : previous(uselocale(Utf8())) {}
  ~Utf8Locale() { uselocale(previous); }
  Utf8Locale(const Utf8Locale&) = delete;
  Utf8Locale& operator=(const Utf8Locale&) = delete;

 private:
  static locale_t Utf8() {
    static const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", nullptr);
    return utf8;
  }

  locale_t previous;
};

struct ArchiveCloser {
  void operator()(archive* handle) const { archive_read_free(handle); }
};
using ArchiveHandle = std::unique_ptr<archive, ArchiveCloser>;

bool Says(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

// What is wrong with the image, in a disc author's words, with libarchive's own text after it.
std::string TroubleOf(const std::string& file, archive* handle) {
  const char* said = archive_error_string(handle);
  const std::string text = said != nullptr ? said : "";
  const int number = archive_errno(handle);
  if (text.rfind("Failed to open", 0) == 0 && number > 0) {
    return file + ": cannot be opened: " + std::strerror(number);
  }
  if (Says(text, "Truncated") || Says(text, "Failed to read full block") ||
      Says(text, "Premature end") || Says(text, "Ignoring out-of-order file")) {
    return file + ": the image is truncated or its records point past its end (" + text + ")";
  }
  if (Says(text, "Unrecognized archive format")) {
    return file + ": is no ISO 9660 image: it holds no volume descriptor that reads as one";
  }
  if (text.empty()) return file + ": the image cannot be read, and libarchive gives no reason";
  return file + ": the image's structure is damaged, as a mastering tool would not write it (" +
         text + ")";
}

bool HeaderRead(int result) { return result == ARCHIVE_OK || result == ARCHIVE_WARN; }

// options are the iso9660 reader's, as archive_read_set_options takes them.
ArchiveHandle OpenArchive(const std::string& file, const char* options, std::string& error) {
  ArchiveHandle handle(archive_read_new());
  archive_read_support_format_iso9660(handle.get());
  if (archive_read_set_options(handle.get(), options) != ARCHIVE_OK ||
      archive_read_open_filename(handle.get(), file.c_str(), kReadSize) != ARCHIVE_OK) {
    error = TroubleOf(file, handle.get());
    return nullptr;
  }
  return handle;
}

bool IsFolder(archive_entry* entry) { return archive_entry_filetype(entry) == AE_IFDIR; }

// Windows reads the Joliet tree when the image has one, whatever the plain tree holds; libarchive
// too, given the chance, so the plain tree is read only without Joliet. A Joliet volume is a
// supplementary volume descriptor with one of Joliet's three escape sequences.
bool HasJolietVolume(const std::string& file, std::string& error) {
  constexpr std::size_t kSector = 2048;
  constexpr int kMostDescriptors = 64;
  std::ifstream image(file, std::ios::binary);
  if (!image) {
    error = file + ": cannot be opened: " + std::strerror(errno);
    return false;
  }
  char descriptor[kSector];
  image.seekg(16 * kSector);
  for (int i = 0; i < kMostDescriptors && image.read(descriptor, kSector); ++i) {
    const auto type = static_cast<unsigned char>(descriptor[0]);
    if (std::memcmp(descriptor + 1, "CD001", 5) != 0 || type == 255) break;
    const char level = descriptor[90];
    if (type == 2 && descriptor[88] == '%' && descriptor[89] == '/' &&
        (level == '@' || level == 'C' || level == 'E')) {
      return true;
    }
  }
  return false;
}

}  // namespace

struct DiscImage::Archive {
  ArchiveHandle handle;
  bool jolietNames;
  std::string file;
  std::string previousName;  // UTF-8, to tell where a file without a name stands
};

DiscImage::DiscImage() = default;
DiscImage::~DiscImage() = default;

bool DiscImage::Open(const std::string& file) {
  const Utf8Locale locale;
  error.clear();
  const bool joliet = HasJolietVolume(file, error);
  if (!error.empty()) return false;
  ArchiveHandle handle =
      OpenArchive(file, joliet ? "iso9660:!rockridge" : "iso9660:!rockridge,iso9660:!joliet", error);
  if (!handle) return false;
  archive.reset(new Archive{std::move(handle), joliet, file, ""});
  return true;
}

bool DiscImage::Next(DiscEntry& entry) {
  const Utf8Locale locale;
  for (;;) {
    archive_entry* header = nullptr;
    int result = ARCHIVE_OK;
    // A header with a warning (a file said to reach past the image's end, a name that does not
    // convert) still stands for a file.
    while (HeaderRead(result = archive_read_next_header(archive->handle.get(), &header)) &&
           IsFolder(header)) {
    }
    if (result == ARCHIVE_EOF) return false;
    if (!HeaderRead(result)) {
      error = TroubleOf(archive->file, archive->handle.get());
      return false;
    }
    const char* path = archive_entry_pathname(header);
    if (path == nullptr) {
      const la_int64_t at = archive_read_header_position(archive->handle.get());
      unlistable.push_back(
          {"", "",
           "a file at byte " + std::to_string(at) + " of the image" +
               (archive->previousName.empty() ? ""
                                              : ", after \"" + archive->previousName + "\",") +
               " has no name that can be read: its folder record is damaged"});
      continue;
    }
    std::string name = path;
    archive->previousName = name;
    std::replace(name.begin(), name.end(), '/', '\\');
    std::string cp932 = name;
    if (archive->jolietNames && !platform::Utf8ToCp932(name, cp932)) {
      unlistable.push_back({name, cp932_name::Nearest(name), cp932_name::WhyUnwritable(name)});
      continue;
    }
    entry = {cp932, static_cast<std::uint64_t>(std::max<la_int64_t>(archive_entry_size(header), 0))};
    return true;
  }
}

bool DiscImage::Read(const std::uint8_t*& data, std::size_t& size) {
  const void* block = nullptr;
  la_int64_t offset = 0;
  const int result = archive_read_data_block(archive->handle.get(), &block, &size, &offset);
  if (result == ARCHIVE_EOF) {
    size = 0;
    return true;
  }
  if (result != ARCHIVE_OK) {
    error = TroubleOf(archive->file, archive->handle.get());
    return false;
  }
  data = static_cast<const std::uint8_t*>(block);
  return true;
}
