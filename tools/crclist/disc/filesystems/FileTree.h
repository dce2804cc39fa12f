#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "disc/listing/DiscListing.h"

// A run of a file's bytes on the disc: bytes long from the start of the sector at lba.
struct Extent {
  // A run that the disc does not record, read as zeros.
  static constexpr std::uint32_t kUnrecorded = 0xFFFFFFFFu;

  std::uint32_t lba;
  std::uint64_t bytes;
};

// A file as a file system places it.
struct TreeFile {
  std::string name;  // from the root, CP932, backslash separated
  std::uint64_t size = 0;
  std::vector<Extent> extents;
  std::string embedded;  // the bytes of a file kept in its own record, without extents
};

// Why a tree cannot be read whose structure no mastering tool would write; what says where.
inline std::string Damaged(const std::string& what) {
  return "the image's structure is damaged, as a mastering tool would not write it (" + what + ")";
}

// The files of one of a disc's file systems.
struct FileTree {
  std::string kind;  // "UDF 2.60", "Joliet" or "ISO 9660"
  std::vector<TreeFile> files;
  std::vector<UnlistableFile> unlistable;
};
