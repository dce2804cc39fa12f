#include "disc/filesystems/IsoTree.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <set>
#include <vector>

#include "disc/sectors/LittleEndian.h"
#include "lists/Cp932Name.h"
#include "lists/Text.h"
#include "platform/Platform.h"

namespace {

constexpr std::uint32_t kSector = SectorSource::kSectorSize;
constexpr std::uint32_t kFirstDescriptor = 16;
constexpr int kMostDescriptors = 64;
constexpr std::size_t kRecordBytes = 33;
// Deeper than any disc's folders, as a guard against folders that hold their ancestors.
constexpr int kDeepestFolder = 128;
// Far more records than any disc's folder holds: a larger size is damage.
constexpr std::uint32_t kLargestFolder = 64 << 20;

constexpr std::uint8_t kFolder = 0x02;
constexpr std::uint8_t kAssociated = 0x04;
constexpr std::uint8_t kNotFinal = 0x80;

// A Joliet name, UTF-16 big-endian, as UTF-8; false for a lone surrogate or an odd length.
bool JolietName(const std::uint8_t* bytes, std::size_t size, std::string& utf8) {
  if (size % 2 != 0) return false;
  utf8.clear();
  for (std::size_t i = 0; i < size; i += 2) {
    char32_t unit = static_cast<char32_t>(bytes[i] << 8 | bytes[i + 1]);
    if (unit >= 0xDC00 && unit <= 0xDFFF) return false;
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      if (i + 3 >= size) return false;
      const char32_t low = static_cast<char32_t>(bytes[i + 2] << 8 | bytes[i + 3]);
      if (low < 0xDC00 || low > 0xDFFF) return false;
      unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
      i += 2;
    }
    if (unit == 0) return false;
    text::AppendCharacter(unit, utf8);
  }
  return true;
}

// The name without its version (";1"), and without the dot that a name with no extension keeps.
std::string WithoutVersion(std::string name) {
  const std::size_t version = name.rfind(';');
  if (version != std::string::npos) name.resize(version);
  if (name.size() > 1 && name.back() == '.') name.pop_back();
  return name;
}

struct Folder {
  std::uint32_t lba;
  std::uint32_t size;
  std::string path;  // with its closing backslash; UTF-8 for Joliet, CP932 otherwise
  int depth;
};

// One pass over the folders, breadth first, as a drive reads them.
class Walk {
 public:
  Walk(SectorSource& source, bool jolietNames, FileTree& files)
      : sectors(source), joliet(jolietNames), tree(files) {}

  bool Run(std::uint32_t rootLba, std::uint32_t rootSize, std::string& error) {
    folders.push_back({rootLba, rootSize, "", 0});
    visited.insert(rootLba);
    while (!folders.empty()) {
      const Folder folder = folders.front();
      folders.pop_front();
      if (!ReadFolder(folder, error)) return false;
    }
    return true;
  }

 private:
  bool ReadFolder(const Folder& folder, std::string& error) {
    const std::uint64_t count = (std::uint64_t{folder.size} + kSector - 1) / kSector;
    if (folder.lba >= sectors.End() || count > sectors.End() - folder.lba) {
      error = SectorFailure{folder.lba, "", true}.InStructure("a folder");
      return false;
    }
    if (folder.size > kLargestFolder) {
      error = Damaged("a folder at sector " + std::to_string(folder.lba) + " says it holds " +
                      std::to_string(folder.size) + " bytes of records");
      return false;
    }
    bytes.resize(std::size_t{count} * kSector);
    SectorFailure failure;
    if (!sectors.Read(folder.lba, static_cast<std::uint32_t>(count), bytes.data(), failure)) {
      error = failure.InStructure("a folder");
      return false;
    }
    for (std::size_t at = 0; at < folder.size;) {
      const std::size_t length = bytes[at];
      if (length == 0) {  // the rest of the sector is padding
        at = (at / kSector + 1) * kSector;
        continue;
      }
      const std::size_t nameLength = at + kRecordBytes <= bytes.size() ? bytes[at + 32] : 0;
      if (length < kRecordBytes + nameLength || at % kSector + length > kSector) {
        error = Damaged("a folder record at byte " + ByteOf(folder, at) + " does not fit");
        return false;
      }
      TakeRecord(folder, at);
      at += length;
    }
    FinishPending();
    return true;
  }

  std::string ByteOf(const Folder& folder, std::size_t at) const {
    return std::to_string(std::uint64_t{folder.lba} * kSector + at);
  }

  void TakeRecord(const Folder& folder, std::size_t at) {
    const std::uint8_t* record = &bytes[at];
    const std::uint8_t flags = record[25];
    const std::size_t nameLength = record[32];
    const std::uint8_t* name = record + kRecordBytes;
    if (nameLength == 1 && (name[0] == 0 || name[0] == 1)) return;  // the folder and its parent
    if (flags & kAssociated) return;
    std::string shown;
    if (joliet ? !JolietName(name, nameLength, shown) : nameLength == 0) {
      FinishPending();
      tree.unlistable.push_back(
          {"", "",
           "a " + std::string(flags & kFolder ? "folder" : "file") + " at byte " +
               ByteOf(folder, at) + " of the image" +
               (previousName.empty() ? "" : ", after \"" + previousName + "\",") +
               " has no name that can be read: its folder record is damaged"});
      return;
    }
    if (!joliet) shown.assign(reinterpret_cast<const char*>(name), nameLength);
    const std::string path = folder.path + WithoutVersion(shown);
    previousName = joliet ? path : platform::Cp932ToUtf8(path);
    const std::uint32_t start =
        little_endian::Get32(record + 2) + record[1];  // after its extended attributes
    const std::uint32_t size = little_endian::Get32(record + 10);
    if (flags & kFolder) {
      FinishPending();
      if (folder.depth < kDeepestFolder && visited.insert(start).second) {
        folders.push_back({start, size, path + "\\", folder.depth + 1});
      }
      return;
    }
    // A file of several extents has a record for each, all but the last marked.
    if (!pending.name.empty() && pending.name != path) FinishPending();
    pending.name = path;
    pending.size += size;
    AddExtents(start, size, record[26], record[27]);
    if (!(flags & kNotFinal)) FinishPending();
  }

  // An interleaved file alternates units of its own sectors with gaps of others'.
  void AddExtents(std::uint32_t start, std::uint64_t size, std::uint32_t unit, std::uint32_t gap) {
    if (unit == 0) {
      pending.extents.push_back({start, size});
      return;
    }
    for (std::uint64_t lba = start; size != 0; lba += unit + gap) {
      const std::uint64_t taken = std::min<std::uint64_t>(size, std::uint64_t{unit} * kSector);
      pending.extents.push_back({static_cast<std::uint32_t>(lba), taken});
      size -= taken;
    }
  }

  void FinishPending() {
    if (pending.name.empty()) return;
    std::string cp932 = pending.name;
    if (joliet && !platform::Utf8ToCp932(pending.name, cp932)) {
      tree.unlistable.push_back({pending.name, cp932_name::Nearest(pending.name),
                                 cp932_name::WhyUnwritable(pending.name)});
    } else {
      pending.name = cp932;
      tree.files.push_back(std::move(pending));
    }
    pending = TreeFile();
  }

  SectorSource& sectors;
  const bool joliet;
  FileTree& tree;
  std::deque<Folder> folders;
  std::set<std::uint32_t> visited;
  std::vector<std::uint8_t> bytes;
  TreeFile pending;
  std::string previousName;  // UTF-8, to tell where a file without a name stands
};

}  // namespace

bool IsoTree::ReadDescriptors(SectorSource& sectors, std::string& error) {
  std::uint8_t descriptor[kSector];
  for (int i = 0; i < kMostDescriptors; ++i) {
    SectorFailure failure;
    if (!sectors.Read(sectors.FileSystemStart() + kFirstDescriptor + static_cast<std::uint32_t>(i),
                      1, descriptor, failure)) {
      if (failure.pastEnd) break;
      error = failure.InStructure("the volume descriptors");
      return false;
    }
    const std::uint8_t type = descriptor[0];
    if (std::memcmp(descriptor + 1, "CD001", 5) != 0 || type == 255) break;
    const bool joliet = type == 2 && descriptor[88] == '%' && descriptor[89] == '/' &&
                        (descriptor[90] == '@' || descriptor[90] == 'C' || descriptor[90] == 'E');
    const std::uint16_t blockSize =
        static_cast<std::uint16_t>(descriptor[128] | descriptor[129] << 8);
    if ((type != 1 && !joliet) || blockSize != kSector) continue;
    const Root root{little_endian::Get32(descriptor + 156 + 2) + descriptor[156 + 1],
                    little_endian::Get32(descriptor + 156 + 10)};
    if (type == 1 && !primaryRoot) primaryRoot = root;
    if (joliet && !jolietRoot) jolietRoot = root;
  }
  return true;
}

bool IsoTree::Read(SectorSource& sectors, bool joliet, FileTree& tree, std::string& error) const {
  const Root& root = joliet ? *jolietRoot : *primaryRoot;
  tree.kind = joliet ? "Joliet" : "ISO 9660";
  return Walk(sectors, joliet, tree).Run(root.lba, root.size, error);
}
