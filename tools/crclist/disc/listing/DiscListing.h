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

// A file of a disc that no check list can name: its name as the system shows it (UTF-8; empty
// when the image gives none), the CP932 name a list would hold for it instead (empty when there
// is none), and why.
struct UnlistableFile {
  std::string shownName;
  std::string nearestName;
  std::string reason;
};

// The files of a disc, a folder or an image alike, found by name as a Windows CD drive finds
// them: letters compared without regard to case.
class DiscListing {
 public:
  DiscListing() = default;
  explicit DiscListing(std::vector<DiscEntry> entries, std::vector<UnlistableFile> unlistable = {});

  const std::vector<DiscEntry>& Files() const;
  const std::vector<UnlistableFile>& Unlistable() const;
  // The unlistable file that a list's name would be taken for; null when there is none.
  const UnlistableFile* UnlistableAs(const std::string& name) const;
  // Folded(Files()[index].name), kept from the listing's start.
  const std::string& FoldedName(std::size_t index) const;
  // The file of that name, the one of exactly that name when several differ only in case; null
  // when there is none. folded is Folded(name), where the caller has it already.
  const DiscEntry* Find(const std::string& name) const;
  const DiscEntry* Find(const std::string& name, const std::string& folded) const;
  // Every file whose name folds to that, in the order of Files(): more than one where names
  // differ only in case, which Windows takes for one file.
  std::vector<const DiscEntry*> WithFolded(const std::string& folded) const;
  // Whether any two files have names that fold alike; on most discs none do.
  bool HasTwins() const;

  // The name as the drive compares it: UTF-8 with every letter of CP932's repertoire that has a
  // capital (Latin, full-width Latin, Greek, Cyrillic, Roman numerals) in capitals.
  static std::string Folded(const std::string& cp932);

 private:
  std::vector<DiscEntry> files;
  std::vector<UnlistableFile> unlistable;
  std::map<std::string, std::size_t> unlistableByFoldedName;
  std::vector<std::string> foldedNames;
  std::multimap<std::string, std::size_t> byFoldedName;
  bool hasTwins = false;
};
