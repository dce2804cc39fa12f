// Disc images read through crclist's own sector sources, ISO 9660 reader and libudfread, which
// Debian builds for Linux only.

#include <algorithm>
#include <map>
#include <optional>
#include <utility>

#include "disc/DiscImage.h"
#include "disc/ExtentBytes.h"
#include "disc/filesystems/IsoTree.h"
#include "disc/filesystems/UdfTree.h"
#include "disc/sectors/ImageFormat.h"
#include "disc/sectors/TrackSectors.h"
#include "platform/Platform.h"

namespace {

// The revisions that Windows mounts; a newer one leaves Windows to the disc's ISO 9660 side.
constexpr std::uint16_t kOldestUdf = 0x0100;
constexpr std::uint16_t kNewestUdf = 0x0260;

// Enough to show where the damage lies; the count tells the rest.
constexpr std::size_t kMostSectorsNamed = 16;

bool IsAscii(const std::string& name) {
  return std::all_of(name.begin(), name.end(), [](char c) { return (c & 0x80) == 0; });
}

std::string Shown(const std::string& cp932) { return "\"" + platform::Cp932ToUtf8(cp932) + "\""; }

}  // namespace

struct DiscImage::Volume {
  TrackSectors sectors;
  ImageKind kind;
  FileTree tree;
  std::optional<FileTree> otherTree;  // a bridge disc's ISO 9660 side, beside its UDF
  DiscListing listing;
  std::map<std::string, std::size_t> byName;

  // Reads the trees and takes the one that Windows mounts.
  bool ChooseTree(std::string& error) {
    IsoTree iso;
    bool udf = false;
    if (!iso.ReadDescriptors(sectors, error) || !UdfTree::Announced(sectors, udf, error)) {
      return false;
    }
    std::uint16_t revision = 0;
    if (udf && !UdfTree::Revision(sectors, revision, error)) return false;
    const bool udfRead = udf && revision >= kOldestUdf && revision <= kNewestUdf;
    if (!udfRead && !iso.HasJoliet() && !iso.HasPrimary()) {
      error = udf ? "its UDF volume is of revision " + std::to_string(revision >> 8) + "." +
                        std::to_string((revision & 0xFF) >> 4) + std::to_string(revision & 0xF) +
                        ", which Windows does not read, and it has no ISO 9660 volume"
                  : "is no disc image that crclist reads: it holds no ISO 9660 or UDF volume";
      return false;
    }
    if (udfRead) {
      if (!UdfTree::Read(sectors, revision, tree, error)) return false;
      FileTree other;
      std::string ignored;
      if ((iso.HasJoliet() || iso.HasPrimary()) &&
          iso.Read(sectors, iso.HasJoliet(), other, ignored)) {
        otherTree = std::move(other);
      }
    } else if (!iso.Read(sectors, iso.HasJoliet(), tree, error)) {
      return false;
    }
    kind.tree = tree.kind;
    return true;
  }

  void MakeListing() {
    std::sort(tree.files.begin(), tree.files.end(),
              [](const TreeFile& a, const TreeFile& b) { return a.name < b.name; });
    std::vector<DiscEntry> entries;
    for (std::size_t i = 0; i < tree.files.size(); ++i) {
      entries.push_back({tree.files[i].name, tree.files[i].size});
      byName.emplace(tree.files[i].name, i);
    }
    listing = DiscListing(std::move(entries), tree.unlistable);
  }

  // The file whose extents hold the sector; empty when none does.
  std::string HolderOf(std::uint32_t lba) const {
    for (const TreeFile& file : tree.files) {
      for (const Extent& extent : file.extents) {
        if (extent.lba != Extent::kUnrecorded && lba >= extent.lba &&
            lba - extent.lba <
                (extent.bytes + SectorSource::kSectorSize - 1) / SectorSource::kSectorSize) {
          return file.name;
        }
      }
    }
    return "";
  }

  // The two sides of a bridge disc share each file's data: a file is paired by its first
  // sector, or by its name where it has none.
  std::vector<TreeNote> Differences() const {
    std::vector<TreeNote> notes;
    const std::string read = tree.kind.substr(0, 3) + " side";
    const std::string other = otherTree->kind + " side";
    std::map<std::string, const TreeFile*> unpaired;
    for (const TreeFile& file : otherTree->files) unpaired[PairingKey(file)] = &file;
    for (const TreeFile& file : tree.files) {
      const auto paired = unpaired.find(PairingKey(file));
      if (paired == unpaired.end()) {
        notes.push_back(
            {TreeNote::Kind::TreesDiffer, Shown(file.name) + " is only on the " + read +
                                              ", which Windows reads; systems that read the " +
                                              other + " do not see it"});
        continue;
      }
      const TreeFile& twin = *paired->second;
      unpaired.erase(paired);
      if (DiscListing::Folded(twin.name) != DiscListing::Folded(file.name)) {
        notes.push_back({TreeNote::Kind::TreesDiffer,
                         Shown(file.name) + " is " + Shown(twin.name) + " on the " + other +
                             "; Windows reads the " + read + ", which names it whole"});
      }
      if (twin.size != file.size) {
        notes.push_back({TreeNote::Kind::TreesDiffer,
                         Shown(file.name) + " has " + std::to_string(file.size) + " bytes on the " +
                             read + ", which Windows reads, and " + std::to_string(twin.size) +
                             " on the " + other});
      }
    }
    for (const auto& [key, file] : unpaired) {
      notes.push_back({TreeNote::Kind::TreesDiffer, Shown(file->name) + " is only on the " + other +
                                                        ": Windows, which reads "
                                                        "the " +
                                                        read + ", does not show it"});
    }
    return notes;
  }

  static std::string PairingKey(const TreeFile& file) {
    if (file.extents.empty()) return "name " + DiscListing::Folded(file.name);
    return "sector " + std::to_string(file.extents.front().lba);
  }
};

DiscImage::DiscImage() = default;
DiscImage::~DiscImage() = default;

bool DiscImage::Open(const std::string& file) {
  error.clear();
  auto opened = std::make_unique<Volume>();
  DiscLayout layout;
  std::string why;
  if (!image_format::Describe(file, layout, why)) {
    error = why;
    return false;
  }
  opened->kind.format = layout.format;
  if (!opened->sectors.Open(std::move(layout), why) || !opened->ChooseTree(why)) {
    error = why.rfind(file, 0) == 0 ? why : file + ": " + why;
    return false;
  }
  opened->MakeListing();
  volume = std::move(opened);
  return true;
}

const ImageKind& DiscImage::Kind() const { return volume->kind; }

const DiscListing& DiscImage::Listing() const { return volume->listing; }

std::unique_ptr<ByteSource> DiscImage::Bytes(const std::string& name) {
  const auto found = volume->byName.find(name);
  if (found == volume->byName.end()) return nullptr;
  return std::make_unique<ExtentBytes>(volume->sectors, volume->tree.files[found->second]);
}

std::vector<std::string> DiscImage::UnreadableSectors() {
  std::vector<std::string> named;
  if (!volume->sectors.Checked()) return named;
  constexpr std::uint32_t kStep = 256;
  std::vector<std::uint8_t> bytes(std::size_t{kStep} * SectorSource::kSectorSize);
  std::uint64_t failed = 0;
  const std::uint32_t end = volume->sectors.End();
  for (std::uint32_t lba = volume->sectors.FileSystemStart(); lba < end;) {
    const std::uint32_t count = std::min(kStep, end - lba);
    SectorFailure failure;
    if (volume->sectors.Read(lba, count, bytes.data(), failure)) {
      lba += count;
      continue;
    }
    if (failure.pastEnd) break;
    if (++failed <= kMostSectorsNamed) {
      const std::string holder = volume->HolderOf(failure.lba);
      named.push_back(failure.Where() + " cannot be read: " + failure.reason +
                      (holder.empty() ? "; it lies outside every file"
                                      : "; it holds part of " + Shown(holder)));
    }
    lba = failure.lba + 1;
  }
  if (failed > kMostSectorsNamed) {
    named.push_back("and " + std::to_string(failed - kMostSectorsNamed) +
                    " more sectors cannot be read");
  }
  return named;
}

std::vector<TreeNote> DiscImage::Notes() const {
  if (volume->otherTree) return volume->Differences();
  const std::vector<TreeFile>& files = volume->tree.files;
  const auto plain = std::find_if(files.begin(), files.end(),
                                  [](const TreeFile& file) { return !IsAscii(file.name); });
  if (volume->tree.kind != "ISO 9660" || plain == files.end()) return {};
  const auto others = std::count_if(plain + 1, files.end(),
                                    [](const TreeFile& file) { return !IsAscii(file.name); });
  return {{TreeNote::Kind::OemNames,
           Shown(plain->name) +
               (others == 0 ? " has" : " and " + std::to_string(others) + " other names have") +
               " bytes beyond ASCII in a plain ISO 9660 name, with no Joliet or UDF name beside "
               "it: Windows shows such names in its OEM code page, so only a Japanese Windows "
               "shows them as listed"}};
}
