#include "LintCommand.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <utility>
#include <vector>

#include "DiscFolder.h"
#include "DiscImage.h"
#include "Linter.h"
#include "platform/Platform.h"

namespace {

namespace fs = std::filesystem;

bool ReadFile(const std::string& path, std::string& bytes) {
  std::error_code error;
  if (!fs::is_regular_file(fs::u8path(path), error)) return false;
  std::ifstream file(fs::u8path(path), std::ios::binary);
  std::ostringstream contents;
  contents << file.rdbuf();
  bytes = contents.str();
  return static_cast<bool>(file);
}

// The listed file's path from the disc's root.
std::string DiscName(const ListedDiscFile& listed) {
  return (listed.gameData ? "gamedata\\" : "") + listed.entry.name;
}

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
  for (const char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte & 0xC0) != 0x80) length += byte >= 0xF0 ? 2 : 1;
  }
  return length;
}

// The disc file that an image's name rules may have made of a listed name that the disc lacks:
// in the same folder, named by no entry, with a shorter name that begins as the listed one
// begins and keeps its extension.
const DiscEntry* ShortenedName(const std::string& listedName, const DiscListing& disc,
                               const std::set<std::string>& listedNames) {
  const auto [folder, name] = SplitFolder(DiscListing::Folded(listedName));
  const std::size_t dot = name.rfind('.');
  const std::string extension = dot == std::string::npos ? "" : name.substr(dot);
  for (const DiscEntry& file : disc.Files()) {
    const std::string folded = DiscListing::Folded(file.name);
    const auto [fileFolder, fileName] = SplitFolder(folded);
    if (listedNames.count(folded) != 0 || fileFolder != folder || fileName.size() >= name.size() ||
        fileName.size() <= extension.size() ||
        fileName.compare(fileName.size() - extension.size(), extension.size(), extension) != 0) {
      continue;
    }
    const std::string stem = fileName.substr(0, fileName.size() - extension.size());
    if (name.compare(0, stem.size(), stem) == 0) return &file;
  }
  return nullptr;
}

// A listed disc file that the disc lacks, and what the disc may hold in its place.
Finding MissingFinding(const ListedDiscFile& listed, const std::string& name,
                       const DiscListing& disc, const std::set<std::string>& listedNames,
                       const std::string& shownDisc) {
  constexpr std::size_t kJolietLength = 64;
  const bool tooLong = Utf16Length(SplitFolder(platform::Cp932ToUtf8(name)).second) > kJolietLength;
  const std::string why =
      tooLong ? ": the name is longer than the " + std::to_string(kJolietLength) +
                    " characters that Joliet names may have"
              : "";
  const DiscEntry* shortened = ShortenedName(name, disc, listedNames);
  if (shortened != nullptr) {
    return {listed.offset, FindingKind::ShortenedName,
            Quoted(name) + " is not found " + shownDisc + ", which holds it shortened to " +
                Quoted(shortened->name) + why};
  }
  return {listed.offset, FindingKind::MissingFile,
          Quoted(name) + " is not found " + shownDisc + why};
}

// The listed disc files that the disc lacks or holds with another size.
void CheckDiscFiles(const Linter& linter, const DiscListing& disc, const std::string& shownDisc,
                    std::vector<Finding>& findings) {
  std::set<std::string> listedNames;
  for (const ListedDiscFile& listed : linter.DiscFiles()) {
    listedNames.insert(DiscListing::Folded(DiscName(listed)));
  }
  for (const ListedDiscFile& listed : linter.DiscFiles()) {
    const std::string name = DiscName(listed);
    const DiscEntry* found = disc.Find(name);
    const auto listedSize = static_cast<std::uint32_t>(listed.entry.size);
    if (found == nullptr) {
      findings.push_back(MissingFinding(listed, name, disc, listedNames, shownDisc));
    } else if (found->size != listedSize) {
      findings.push_back({listed.offset, FindingKind::SizeDiffers,
                          Quoted(name) + " has " + std::to_string(found->size) + " bytes " +
                              shownDisc + ", the list says " + std::to_string(listedSize)});
    }
  }
}

}  // namespace

LintCommand::LintCommand(LintOptions chosen) : options(std::move(chosen)) {}

int LintCommand::Run(std::ostream& out, std::ostream& err) const {
  std::string bytes;
  if (!ReadFile(options.file, bytes)) {
    err << "crclist: " << options.file << ": cannot be read\n";
    return 2;
  }
  const Linter linter(bytes);
  std::vector<Finding> findings = linter.Findings();
  if (!options.root.empty() || !options.image.empty()) {
    DiscListing disc;
    std::string shownDisc;
    if (!ListDisc(disc, shownDisc, err)) return 2;
    CheckDiscFiles(linter, disc, shownDisc, findings);
  }
  // In file order; findings about the whole file last.
  std::stable_sort(findings.begin(), findings.end(),
                   [](const Finding& a, const Finding& b) { return a.offset < b.offset; });
  for (const Finding& finding : findings) {
    out << options.file;
    if (finding.offset != Finding::kWholeFile) {
      out << ":" << linter.Lines().PositionOf(finding.offset);
    }
    out << ": " << finding.message << " [" << Finding::TagOf(finding.kind) << "]\n";
  }
  if (findings.empty()) {
    out << options.file << ": nothing found\n";
    return 0;
  }
  out << options.file << ": " << findings.size()
      << (findings.size() == 1 ? " finding" : " findings") << "\n";
  return 1;
}

bool LintCommand::ListDisc(DiscListing& disc, std::string& shownDisc, std::ostream& err) const {
  std::string error;
  if (!options.image.empty()) {
    shownDisc = "in " + options.image;
    if (DiscImage::List(options.image, disc, error)) return true;
  } else {
    shownDisc = "under " + options.root;
    std::error_code failure;
    if (!fs::is_directory(fs::u8path(options.root), failure)) {
      error = options.root + ": no such folder";
    } else if (DiscFolder::List(options.root, fs::path(), disc, error)) {
      return true;
    }
  }
  err << "crclist: " << error << "\n";
  return false;
}
