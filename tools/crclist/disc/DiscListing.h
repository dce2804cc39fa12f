#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

// A file of a disc: its path from the disc's root as a check list names it (CP932, backslash
// separated) and its size, where it was asked for.
struct DiscEntry {
  std::string name;
  std::optional<std::uint64_t> size;
};

// The files of a disc, a folder or an image alike, found by name as a Windows CD drive finds
// them: letters compared without regard to case.
class DiscListing {
 public:
  DiscListing() = default;
  explicit DiscListing(std::vector<DiscEntry> entries);

  const std::vector<DiscEntry>& Files() const;
  // Folded(Files()[index].name), kept from the listing's start.
  const std::string& FoldedName(std::size_t index) const;
  // The file of that name, the one of exactly that name when several differ only in case; null
  // when there is none. folded is Folded(name), where the caller has it already.
  const DiscEntry* Find(const std::string& name) const;
  const DiscEntry* Find(const std::string& name, const std::string& folded) const;

  // The name as the drive compares it: UTF-8 with every letter of CP932's repertoire that has a
  // capital (Latin, full-width Latin, Greek, Cyrillic, Roman numerals) in capitals.
  static std::string Folded(const std::string& cp932);

 private:
  std::vector<DiscEntry> files;
  std::vector<std::string> foldedNames;
  std::multimap<std::string, std::size_t> byFoldedName;
};
