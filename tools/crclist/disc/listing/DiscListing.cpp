#include "disc/listing/DiscListing.h"

#include <algorithm>
#include <utility>

#include "lists/Text.h"
#include "platform/Platform.h"

namespace {

// Small letters and the distance to their capitals, as Windows' own table maps them; the ranges
// cover the letters that CP932 can write.
struct CaseRange {
  char32_t first;
  char32_t last;
  char32_t toCapital;
};

constexpr CaseRange kSmallLetters[] = {
    {U'a', U'z', 0x20},         {0x03B1, 0x03C1, 0x20},  // Greek alpha to rho
    {0x03C3, 0x03C9, 0x20},                              // Greek sigma to omega
    {0x0430, 0x044F, 0x20},     {0x0450, 0x045F, 0x50},  // Cyrillic
    {0x2170, 0x217F, 0x10},                              // small Roman numerals
    {0xFF41, 0xFF5A, 0x20},                              // full-width Latin
};

char32_t Capital(char32_t c) {
  for (const CaseRange& range : kSmallLetters) {
    if (c >= range.first && c <= range.last) return c - range.toCapital;
  }
  return c;
}

}  // namespace

DiscListing::DiscListing(std::vector<DiscEntry> entries,
                         std::vector<UnlistableFile> unlistableFiles)
    : files(std::move(entries)), unlistable(std::move(unlistableFiles)) {
  for (std::size_t i = 0; i < files.size(); ++i) {
    foldedNames.push_back(Folded(files[i].name));
    byFoldedName.emplace(foldedNames.back(), i);
  }
  hasTwins = std::adjacent_find(byFoldedName.begin(), byFoldedName.end(),
                                [](const auto& a, const auto& b) { return a.first == b.first; }) !=
             byFoldedName.end();
  for (std::size_t i = 0; i < unlistable.size(); ++i) {
    const std::string& nearest = unlistable[i].nearestName;
    if (!nearest.empty()) unlistableByFoldedName.emplace(Folded(nearest), i);
  }
}

const std::vector<DiscEntry>& DiscListing::Files() const { return files; }

const std::vector<UnlistableFile>& DiscListing::Unlistable() const { return unlistable; }

const UnlistableFile* DiscListing::UnlistableAs(const std::string& name) const {
  const auto found = unlistableByFoldedName.find(Folded(name));
  return found == unlistableByFoldedName.end() ? nullptr : &unlistable[found->second];
}

const std::string& DiscListing::FoldedName(std::size_t index) const { return foldedNames[index]; }

const DiscEntry* DiscListing::Find(const std::string& name) const {
  return Find(name, Folded(name));
}

const DiscEntry* DiscListing::Find(const std::string& name, const std::string& folded) const {
  const auto [first, last] = byFoldedName.equal_range(folded);
  if (first == last) return nullptr;
  for (auto match = first; match != last; ++match) {
    if (files[match->second].name == name) return &files[match->second];
  }
  return &files[first->second];
}

bool DiscListing::HasTwins() const { return hasTwins; }

std::vector<const DiscEntry*> DiscListing::WithFolded(const std::string& folded) const {
  std::vector<const DiscEntry*> matches;
  const auto [first, last] = byFoldedName.equal_range(folded);
  for (auto match = first; match != last; ++match) matches.push_back(&files[match->second]);
  return matches;
}

// Through Unicode, as Windows compares names: a character that CP932 writes in two ways (NEC's
// and IBM's rows) is one character.
std::string DiscListing::Folded(const std::string& cp932) {
  const bool ascii =
      std::all_of(cp932.begin(), cp932.end(), [](char byte) { return (byte & 0x80) == 0; });
  if (ascii) {
    std::string folded = cp932;
    for (char& byte : folded) byte = static_cast<char>(Capital(static_cast<unsigned char>(byte)));
    return folded;
  }
  const std::string utf8 = platform::Cp932ToUtf8(cp932);
  std::string folded;
  for (std::size_t i = 0; i < utf8.size();) {
    text::AppendCharacter(Capital(text::NextCharacter(utf8, i)), folded);
  }
  return folded;
}
