#pragma once

#include <string>

// What holds a folder, as far as the order of reads matters.
class StorageDevice {
 public:
  // True where reads in flight across files only cause seeks: rotational disks and optical drives.
  // Solid-state, network and memory storage, and storage that cannot be told, gain from them,
  // except on Windows, where a local disk whose seek penalty cannot be asked counts as seeking.
  // folder is UTF-8.
  static bool Seeks(const std::string& folder);
};
