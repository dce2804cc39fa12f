#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "disc/filesystems/FileTree.h"
#include "disc/sectors/SectorSource.h"

// The ISO 9660 file system of a disc, with its Joliet names where it has them. Rock Ridge names,
// which only other systems show, are passed over.
class IsoTree {
 public:
  // Reads the volume descriptors. False, with the reason, when they cannot be read; a disc with
  // none that reads as ISO 9660 has neither a primary nor a Joliet volume.
  bool ReadDescriptors(SectorSource& sectors, std::string& error);
  bool HasPrimary() const { return primaryRoot.has_value(); }
  bool HasJoliet() const { return jolietRoot.has_value(); }

  // The files of the Joliet tree, or of the primary tree with its names taken as CP932. False,
  // with the reason, when the tree cannot be read or is damaged.
  bool Read(SectorSource& sectors, bool joliet, FileTree& tree, std::string& error) const;

 private:
  struct Root {
    std::uint32_t lba;
    std::uint32_t size;
  };

  std::optional<Root> primaryRoot;
  std::optional<Root> jolietRoot;
};
