#include "lists/DiscCheck.h"

#include <unordered_set>

#include "lists/Text.h"
#include "platform/Platform.h"

namespace {

std::string Quoted(const std::string& cp932) { return "\"" + platform::Cp932ToUtf8(cp932) + "\""; }

// The folder part with its separator, and the file name; the separator is found in UTF-8, where
// no byte of another character equals it.
std::pair<std::string, std::string> SplitFolder(const std::string& utf8) {
  const std::size_t separator = utf8.rfind('\\');
  if (separator == std::string::npos) return {"", utf8};
  return {utf8.substr(0, separator + 1), utf8.substr(separator + 1)};
}

std::size_t Utf16Length(const std::string& utf8) {
  std::size_t length = 0;
  for (std::size_t i = 0; i < utf8.size();) {
    length += text::NextCharacter(utf8, i) >= 0x10000 ? 2u : 1u;
  }
  return length;
}

// The disc file that an image's name rules may have made of a listed name that the disc lacks:
// in the same folder, named by no entry, with a shorter name that begins as the listed one
// begins and keeps its extension. Each shorter stem is looked up, the longest first, so the cost
// grows with the name's length and not with the disc's files.
const DiscEntry* ShortenedName(const std::string& listedName, const DiscListing& disc,
                               const std::unordered_set<std::string>& listedNames) {
  const auto [folder, name] = SplitFolder(DiscListing::Folded(listedName));
  const std::size_t dot = name.rfind('.');
  const std::string extension = dot == std::string::npos ? "" : name.substr(dot);
  for (std::size_t stem = name.size() - extension.size(); stem-- > 1;) {
    const std::string candidate = folder + name.substr(0, stem) + extension;
    if (listedNames.count(candidate) != 0) continue;
    const std::vector<const DiscEntry*> found = disc.WithFolded(candidate);
    if (!found.empty()) return found.front();
  }
  return nullptr;
}

// A listed disc file that the disc lacks, and what the disc may hold in its place.
Finding MissingFinding(const ListedFile& listed, const std::string& name,
                       const DiscEntry* shortened, const DiscListing& disc,
                       const std::string& shownDisc) {
  constexpr std::size_t kJolietLength = 64;
  const bool tooLong = Utf16Length(SplitFolder(platform::Cp932ToUtf8(name)).second) > kJolietLength;
  const std::string why = tooLong
                              ? ": the name is longer than the " + std::to_string(kJolietLength) +
                                    " characters that Joliet names may have"
                              : "";
  if (shortened != nullptr) {
    return {listed.offset, FindingKind::ShortenedName,
            Quoted(name) + " is not found " + shownDisc + ", which holds it shortened to " +
                Quoted(shortened->name) + why};
  }
  const UnlistableFile* unlistable = disc.UnlistableAs(name);
  if (unlistable != nullptr) {
    return {listed.offset, FindingKind::MissingFile,
            Quoted(name) + " is not found " + shownDisc + ", which holds \"" +
                unlistable->shownName + "\" instead: " + unlistable->reason};
  }
  return {listed.offset, FindingKind::MissingFile,
          Quoted(name) + " is not found " + shownDisc + why};
}

}  // namespace

namespace disc_check {

std::string Twins(const std::string& name, const DiscListing& disc) {
  if (!disc.HasTwins()) return "";
  const std::vector<const DiscEntry*> twins = disc.WithFolded(DiscListing::Folded(name));
  if (twins.size() < 2) return "";
  std::string files;
  for (const DiscEntry* twin : twins) files += (files.empty() ? "" : " and ") + Quoted(twin->name);
  const bool oneName = twins.front()->name == twins.back()->name;
  return "the disc holds " + files +
         (oneName ? ", two files under one name: Windows opens only one of them"
                  : ", which differ only in letter case: Windows opens one file for both names");
}

std::vector<Finding> Compare(const std::vector<ListedFile>& listed, const DiscListing& disc,
                             const std::string& shownDisc, bool isFolder) {
  std::vector<Finding> findings;
  std::vector<std::string> folded;
  for (const ListedFile& file : listed) folded.push_back(DiscListing::Folded(file.path));
  const std::unordered_set<std::string> listedNames(folded.begin(), folded.end());
  // The disc's own list, and the files that stand in for listed ones, are no files left out.
  std::unordered_set<std::string> accounted = listedNames;
  accounted.insert(DiscListing::Folded("crclist.INF"));
  for (std::size_t i = 0; i < listed.size(); ++i) {
    const ListedFile& file = listed[i];
    const std::string& name = file.path;
    const DiscEntry* found = disc.Find(name, folded[i]);
    const auto listedSize = static_cast<std::uint32_t>(file.entry.size);
    if (found == nullptr) {
      const DiscEntry* shortened = ShortenedName(name, disc, listedNames);
      findings.push_back(MissingFinding(file, name, shortened, disc, shownDisc));
      if (shortened != nullptr) accounted.insert(DiscListing::Folded(shortened->name));
    } else if (found->size && *found->size != listedSize) {
      findings.push_back({file.offset, FindingKind::SizeDiffers,
                          Quoted(name) + " has " + std::to_string(*found->size) + " bytes " +
                              shownDisc + ", the list says " + std::to_string(listedSize)});
    }
    const std::string twins = found != nullptr ? Twins(name, disc) : "";
    if (!twins.empty()) {
      findings.push_back({file.offset, FindingKind::CaseTwins,
                          Quoted(name) + " " + shownDisc + ": " + twins});
    }
    // Compared as text: a code that CP932 shares with another (NEC's and IBM's rows) decodes to
    // the very name that Linux opens, though the disc's listing writes it with the other code.
    if (found != nullptr && isFolder && twins.empty() && found->name != name &&
        platform::Cp932ToUtf8(found->name) != platform::Cp932ToUtf8(name)) {
      findings.push_back({file.offset, FindingKind::CaseOnlyMatch,
                          Quoted(name) + " is found " + shownDisc + " only as " +
                              Quoted(found->name) +
                              ": Windows opens it, Linux and other case-sensitive systems do not"});
    }
  }
  for (const UnlistableFile& file : disc.Unlistable()) {
    findings.push_back({Finding::kWholeFile, FindingKind::UnlistableName,
                        file.shownName.empty()
                            ? shownDisc + ", " + file.reason + ", so no list can name it"
                            : "\"" + file.shownName + "\" " + shownDisc +
                                  " cannot be listed: " + file.reason});
  }
  for (std::size_t i = 0; i < disc.Files().size(); ++i) {
    if (accounted.count(disc.FoldedName(i)) != 0) continue;
    findings.push_back({Finding::kWholeFile, FindingKind::UnlistedFile,
                        Quoted(disc.Files()[i].name) + " " + shownDisc +
                            " is left out of the list: Disksentry never checks it"});
  }
  return findings;
}

}  // namespace disc_check
