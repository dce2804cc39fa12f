#include "disc/filesystems/UdfTree.h"

#include <udfread/blockinput.h>
#include <udfread/udfread.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include "disc/sectors/LittleEndian.h"
#include "lists/Cp932Name.h"
#include "lists/Text.h"
#include "platform/Platform.h"

namespace {

constexpr std::uint32_t kSector = SectorSource::kSectorSize;
constexpr std::uint32_t kAnchor = 256;
constexpr int kMostDescriptors = 64;
constexpr int kDeepestFolder = 128;
constexpr std::size_t kMostEntries = 1 << 20;

constexpr std::uint16_t kAnchorTag = 2;
constexpr std::uint16_t kLogicalVolumeTag = 6;
constexpr std::uint16_t kTerminatorTag = 8;

// A sector of the volume, by its address from the file system's start.
bool ReadSector(SectorSource& sectors, std::uint32_t lba, std::uint8_t* out,
                const std::string& what, std::string& error) {
  SectorFailure failure;
  if (sectors.Read(sectors.FileSystemStart() + lba, 1, out, failure)) return true;
  error = failure.InStructure(what);
  return false;
}

// What libudfread writes on its standard error while it works, kept to name its trouble with.
class LibraryWords {
 public:
  LibraryWords() : kept(std::tmpfile()), saved(dup(STDERR_FILENO)) {
    if (kept != nullptr && saved >= 0) dup2(fileno(kept), STDERR_FILENO);
  }
  ~LibraryWords() {
    if (saved >= 0) {
      dup2(saved, STDERR_FILENO);
      close(saved);
    }
    if (kept != nullptr) std::fclose(kept);
  }
  LibraryWords(const LibraryWords&) = delete;
  LibraryWords& operator=(const LibraryWords&) = delete;

  // The last thing it said, without its prefix; empty when it said nothing.
  std::string Last() const {
    if (kept == nullptr) return "";
    std::string said;
    std::rewind(kept);
    for (int c; (c = std::fgetc(kept)) != EOF;) said += static_cast<char>(c);
    while (!said.empty() && said.back() == '\n') said.pop_back();
    said = said.substr(said.find_last_of('\n') + 1);
    const std::size_t colon = said.find(": ");
    return colon == std::string::npos ? said : said.substr(colon + 2);
  }

 private:
  std::FILE* kept;
  int saved;
};

// The sectors as libudfread asks for them, from the file system's start; the first failure is
// kept, to be named in place of the library's own words.
struct Input {
  udfread_block_input callbacks;
  SectorSource* sectors;
  std::optional<SectorFailure> failure;

  static int Read(udfread_block_input* input, uint32_t lba, void* buffer, uint32_t count, int) {
    Input& self = *reinterpret_cast<Input*>(input);
    SectorFailure failure;
    const std::uint32_t start = self.sectors->FileSystemStart();
    if (lba > self.sectors->End() - start ||
        !self.sectors->Read(start + lba, count, static_cast<std::uint8_t*>(buffer), failure)) {
      if (lba > self.sectors->End() - start) failure = {start + lba, "", true};
      if (!self.failure) self.failure = failure;
      return static_cast<int>(failure.lba - (start + lba));
    }
    return static_cast<int>(count);
  }
  static uint32_t Size(udfread_block_input* input) {
    const Input& self = *reinterpret_cast<Input*>(input);
    return self.sectors->End() - self.sectors->FileSystemStart();
  }
};

struct UdfCloser {
  void operator()(udfread* udf) const { udfread_close(udf); }
  void operator()(UDFDIR* folder) const { udfread_closedir(folder); }
  void operator()(UDFFILE* file) const { udfread_file_close(file); }
};
using Udf = std::unique_ptr<udfread, UdfCloser>;
using UdfFolder = std::unique_ptr<UDFDIR, UdfCloser>;
using UdfFile = std::unique_ptr<UDFFILE, UdfCloser>;

// libudfread's names are modified UTF-8: a character beyond the BMP as two encoded surrogates.
bool FromModifiedUtf8(const std::string& modified, std::string& utf8) {
  utf8.clear();
  for (std::size_t i = 0; i < modified.size();) {
    char32_t c = text::NextCharacter(modified, i);
    if (c >= 0xDC00 && c <= 0xDFFF) return false;
    if (c >= 0xD800 && c <= 0xDBFF) {
      if (i >= modified.size()) return false;
      const char32_t low = text::NextCharacter(modified, i);
      if (low < 0xDC00 || low > 0xDFFF) return false;
      c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
    }
    if (c == 0 || c == 0xFFFD) return false;
    text::AppendCharacter(c, utf8);
  }
  return true;
}

class Walk {
 public:
  Walk(Input& blocks, FileTree& files) : input(blocks), tree(files) {}

  bool Folder(UDFDIR* folder, const std::string& path, int depth, std::string& error) {
    udfread_dirent entry{};
    while (udfread_readdir(folder, &entry) != nullptr) {
      const std::string modified = entry.d_name != nullptr ? entry.d_name : "";
      if (modified == "." || modified == "..") continue;
      // Folders that hold their own ancestors would be walked for ever.
      if (++entries > kMostEntries) {
        error =
            Damaged("its UDF folders hold more than " + std::to_string(kMostEntries) + " entries");
        return false;
      }
      std::string name;
      if (!FromModifiedUtf8(modified, name) || name.find_first_of("\\/") != std::string::npos) {
        tree.unlistable.push_back({"", "",
                                   "a file in \"" + (path.empty() ? std::string("\\") : path) +
                                       "\" has no name that a list can hold: its UDF file "
                                       "identifier is damaged"});
        continue;
      }
      const std::string whole = path + name;
      if (entry.d_type == UDF_DT_DIR) {
        if (depth >= kDeepestFolder) continue;
        UdfFolder inner(udfread_opendir_at(folder, modified.c_str()));
        if (!inner) return Trouble("the folder \"" + whole + "\"", error);
        if (!Folder(inner.get(), whole + "\\", depth + 1, error)) return false;
      } else if (!File(folder, modified, whole, error)) {
        return false;
      }
    }
    if (input.failure) return Trouble("a folder in \"" + path + "\"", error);
    return true;
  }

  bool Trouble(const std::string& what, std::string& error) {
    error = input.failure ? input.failure->InStructure(what)
                          : Damaged(what + " cannot be read: " + words.Last());
    return false;
  }

 private:
  bool File(UDFDIR* folder, const std::string& modified, const std::string& name,
            std::string& error) {
    UdfFile file(udfread_file_openat(folder, modified.c_str()));
    const std::int64_t size = file ? udfread_file_size(file.get()) : -1;
    if (size < 0) return Trouble("the file \"" + name + "\"", error);
    TreeFile found;
    found.size = static_cast<std::uint64_t>(size);
    const std::uint64_t blocks = (found.size + kSector - 1) / kSector;
    const std::uint32_t start = input.sectors->FileSystemStart();
    // A file larger than the volume cannot be whole: what the volume cannot hold lies past its
    // end, where the read fails.
    const std::uint64_t mapped = std::min<std::uint64_t>(blocks, input.sectors->End() - start);
    for (std::uint64_t block = 0; block < mapped; ++block) {
      const std::uint32_t lba = udfread_file_lba(file.get(), static_cast<std::uint32_t>(block));
      if (block == 0 && lba == 0 && found.size < kSector && !Embedded(file.get(), found)) {
        return Trouble("the file \"" + name + "\"", error);
      }
      if (!found.embedded.empty()) break;
      const std::uint32_t at = lba == 0                             ? Extent::kUnrecorded
                               : lba < input.sectors->End() - start ? start + lba
                                                                    : input.sectors->End();
      const std::uint64_t bytes = std::min<std::uint64_t>(kSector, found.size - block * kSector);
      Extent* last = found.extents.empty() ? nullptr : &found.extents.back();
      if (last != nullptr && last->bytes % kSector == 0 &&
          (at == Extent::kUnrecorded
               ? last->lba == at
               : last->lba != Extent::kUnrecorded && last->lba + last->bytes / kSector == at)) {
        last->bytes += bytes;
      } else {
        found.extents.push_back({at, bytes});
      }
    }
    if (mapped < blocks) {
      found.extents.push_back({input.sectors->End(), found.size - mapped * kSector});
    }
    std::string cp932 = name;
    if (!platform::Utf8ToCp932(name, cp932)) {
      tree.unlistable.push_back({name, cp932_name::Nearest(name), cp932_name::WhyUnwritable(name)});
      return true;
    }
    found.name = cp932;
    tree.files.push_back(std::move(found));
    return true;
  }

  // A small file whose bytes its file entry holds.
  static bool Embedded(UDFFILE* file, TreeFile& found) {
    found.embedded.resize(static_cast<std::size_t>(found.size));
    const ssize_t read = udfread_file_read(file, &found.embedded[0], found.embedded.size());
    if (read == static_cast<ssize_t>(found.size)) return true;
    found.embedded.clear();
    return false;
  }

  Input& input;
  LibraryWords words;
  std::size_t entries = 0;
  FileTree& tree;
};

}  // namespace

bool UdfTree::Announced(SectorSource& sectors, bool& announced, std::string& error) {
  announced = false;
  std::uint8_t descriptor[kSector];
  for (int i = 0; i < kMostDescriptors; ++i) {
    SectorFailure failure;
    if (!sectors.Read(sectors.FileSystemStart() + 16 + static_cast<std::uint32_t>(i), 1, descriptor,
                      failure)) {
      if (failure.pastEnd) return true;
      error = failure.InStructure("the volume recognition sequence");
      return false;
    }
    const char* identifier = reinterpret_cast<const char*>(descriptor + 1);
    if (std::memcmp(identifier, "NSR02", 5) == 0 || std::memcmp(identifier, "NSR03", 5) == 0) {
      announced = true;
      return true;
    }
    const bool known =
        std::memcmp(identifier, "CD001", 5) == 0 || std::memcmp(identifier, "BEA01", 5) == 0 ||
        std::memcmp(identifier, "TEA01", 5) == 0 || std::memcmp(identifier, "BOOT2", 5) == 0 ||
        std::memcmp(identifier, "CDW02", 5) == 0;
    if (!known) return true;
  }
  return true;
}

bool UdfTree::Revision(SectorSource& sectors, std::uint16_t& revision, std::string& error) {
  std::uint8_t sector[kSector];
  if (!ReadSector(sectors, kAnchor, sector, "the UDF anchor", error)) return false;
  if (little_endian::Get16(sector) != kAnchorTag) {
    error = "its UDF volume has no anchor at sector 256, where a reader looks for it";
    return false;
  }
  const std::uint32_t length = little_endian::Get32(sector + 16) / kSector;
  const std::uint32_t location = little_endian::Get32(sector + 20);
  for (std::uint32_t i = 0; i < length && i < kMostDescriptors; ++i) {
    if (!ReadSector(sectors, location + i, sector, "the UDF volume descriptors", error)) {
      return false;
    }
    const std::uint16_t tag = little_endian::Get16(sector);
    if (tag == kTerminatorTag) break;
    if (tag != kLogicalVolumeTag) continue;
    if (little_endian::Get32(sector + 212) != kSector) {
      error = "its UDF volume has blocks of " + std::to_string(little_endian::Get32(sector + 212)) +
              " bytes, which libudfread does not read";
      return false;
    }
    revision = little_endian::Get16(sector + 240);
    const std::uint32_t maps = little_endian::Get32(sector + 268);
    std::size_t at = 440;
    for (std::uint32_t m = 0; m < maps && at + 2 <= kSector; ++m) {
      const std::size_t mapLength = sector[at + 1];
      if (mapLength == 0) break;
      const char* kind = reinterpret_cast<const char*>(sector + at + 5);
      const std::size_t room = kSector - (at + 5);
      for (const char* unread : {"*UDF Virtual Partition", "*UDF Sparable Partition"}) {
        if (sector[at] == 2 && room >= std::strlen(unread) &&
            std::memcmp(kind, unread, std::strlen(unread)) == 0) {
          error = std::string("its UDF volume has a ") + (unread + 5) +
                  ", which libudfread does not read";
          return false;
        }
      }
      at += mapLength;
    }
    return true;
  }
  error = "its UDF volume has no logical volume descriptor";
  return false;
}

bool UdfTree::Read(SectorSource& sectors, std::uint16_t revision, FileTree& tree,
                   std::string& error) {
  char kind[16];
  std::snprintf(kind, sizeof kind, "UDF %x.%02x", revision >> 8, revision & 0xFF);
  tree.kind = kind;
  Input input{{nullptr, &Input::Read, &Input::Size}, &sectors, std::nullopt};
  Udf udf(udfread_init());
  Walk walk(input, tree);
  if (udfread_open_input(udf.get(), &input.callbacks) < 0) {
    return walk.Trouble("its UDF volume", error);
  }
  UdfFolder root(udfread_opendir(udf.get(), "/"));
  if (!root) return walk.Trouble("its root folder", error);
  return walk.Folder(root.get(), "", 0, error);
}
