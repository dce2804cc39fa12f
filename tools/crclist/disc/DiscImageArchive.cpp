// Disc images through libarchive, which Debian builds for Linux only.

#include "disc/DiscImage.h"

#include <archive.h>
#include <archive_entry.h>
#include <locale.h>

#include <algorithm>
#include <utility>

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

std::string ErrorOf(archive* handle) {
  const char* text = archive_error_string(handle);
  return text != nullptr ? text : "libarchive gives no reason";
}

bool HeaderRead(int result) { return result == ARCHIVE_OK || result == ARCHIVE_WARN; }

// options are the iso9660 reader's, as archive_read_set_options takes them.
ArchiveHandle OpenArchive(const std::string& file, const char* options, std::string& error) {
  ArchiveHandle handle(archive_read_new());
  archive_read_support_format_iso9660(handle.get());
  if (archive_read_set_options(handle.get(), options) != ARCHIVE_OK ||
      archive_read_open_filename(handle.get(), file.c_str(), kReadSize) != ARCHIVE_OK) {
    error = file + ": " + ErrorOf(handle.get());
    return nullptr;
  }
  return handle;
}

bool IsFolder(archive_entry* entry) { return archive_entry_filetype(entry) == AE_IFDIR; }

// libarchive takes the Joliet names when the image has them and does not say so; only then do
// the names differ from the plain ones.
bool HasJolietNames(const std::string& file, std::string& error) {
  const ArchiveHandle preferred = OpenArchive(file, "iso9660:!rockridge", error);
  const ArchiveHandle plain = OpenArchive(file, "iso9660:!rockridge,iso9660:!joliet", error);
  if (!preferred || !plain) return false;
  archive_entry* a = nullptr;
  archive_entry* b = nullptr;
  while (HeaderRead(archive_read_next_header(preferred.get(), &a)) &&
         HeaderRead(archive_read_next_header(plain.get(), &b))) {
    if (std::string(archive_entry_pathname(a)) != archive_entry_pathname(b)) return true;
  }
  return false;
}

}  // namespace

struct DiscImage::Archive {
  ArchiveHandle handle;
  bool jolietNames;
};

DiscImage::DiscImage() = default;
DiscImage::~DiscImage() = default;

bool DiscImage::Open(const std::string& file) {
  const Utf8Locale locale;
  error.clear();
  const bool joliet = HasJolietNames(file, error);
  if (!error.empty()) return false;
  ArchiveHandle handle =
      OpenArchive(file, joliet ? "iso9660:!rockridge" : "iso9660:!rockridge,iso9660:!joliet", error);
  if (!handle) return false;
  archive.reset(new Archive{std::move(handle), joliet});
  return true;
}

bool DiscImage::Next(DiscEntry& entry) {
  const Utf8Locale locale;
  archive_entry* header = nullptr;
  int result = ARCHIVE_OK;
  // A header with a warning (a file said to reach past the image's end) still names a file.
  while (HeaderRead(result = archive_read_next_header(archive->handle.get(), &header)) &&
         IsFolder(header)) {
  }
  if (result == ARCHIVE_EOF) return false;
  if (!HeaderRead(result)) {
    error = ErrorOf(archive->handle.get());
    return false;
  }
  std::string name = archive_entry_pathname(header);
  std::replace(name.begin(), name.end(), '/', '\\');
  std::string cp932 = name;
  if (archive->jolietNames && !platform::Utf8ToCp932(name, cp932)) {
    error = name + ": the image's name has no CP932 form, so no check list can name it";
    return false;
  }
  entry = {cp932, static_cast<std::uint64_t>(archive_entry_size(header))};
  return true;
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
    error = ErrorOf(archive->handle.get());
    return false;
  }
  data = static_cast<const std::uint8_t*>(block);
  return true;
}
