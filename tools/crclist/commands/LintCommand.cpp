#include "commands/LintCommand.h"

#include <filesystem>
#include <utility>
#include <vector>

#include "disc/DiscFolder.h"
#include "disc/DiscImage.h"
#include "lists/DiscCheck.h"
#include "lists/Linter.h"
#include "lists/ListFile.h"
#include "platform/Platform.h"

namespace fs = std::filesystem;

LintCommand::LintCommand(LintOptions chosen) : options(std::move(chosen)) {}

CommandOutcome LintCommand::Run(std::ostream& out) const {
  std::string bytes;
  std::string problem;
  if (!list_file::Read(options.file, bytes, problem)) return {2, options.file + ": " + problem};
  if (bytes.empty()) return {2, options.file + ": " + list_file::kEmptyList};
  const Linter linter(bytes);
  std::vector<Finding> findings = linter.Findings();
  if (!options.root.empty() || !options.image.empty()) {
    DiscListing disc;
    std::string shownDisc;
    std::vector<Finding> imageFindings;
    if (!ListDisc(disc, shownDisc, imageFindings, problem)) return {2, problem};
    const std::vector<Finding> onDisc =
        disc_check::Compare(linter.DiscFiles(), disc, shownDisc, options.image.empty());
    findings.insert(findings.end(), onDisc.begin(), onDisc.end());
    findings.insert(findings.end(), imageFindings.begin(), imageFindings.end());
  }
  list_file::PrintFindings(out, options.file, linter.Lines(), findings);
  if (findings.empty()) {
    out << options.file << ": nothing found\n";
    return {0, ""};
  }
  out << options.file << ": " << findings.size()
      << (findings.size() == 1 ? " finding" : " findings") << "\n";
  return {1, ""};
}

bool LintCommand::ListDisc(DiscListing& disc, std::string& shownDisc,
                           std::vector<Finding>& imageFindings, std::string& error) const {
  if (!options.image.empty()) {
    shownDisc = "in " + options.image;
    DiscImage image;
    if (!image.Open(options.image)) {
      error = image.Error();
      return false;
    }
    disc = image.Listing();
    for (const TreeNote& note : image.Notes()) {
      imageFindings.push_back({Finding::kWholeFile,
                               note.kind == TreeNote::Kind::OemNames ? FindingKind::OemNames
                                                                     : FindingKind::TreesDiffer,
                               options.image + ": " + note.message});
    }
    for (const std::string& sector : image.UnreadableSectors()) {
      imageFindings.push_back(
          {Finding::kWholeFile, FindingKind::UnreadableSector, options.image + ": " + sector});
    }
    return true;
  } else {
    shownDisc = "under " + options.root;
    std::error_code failure;
    if (!fs::is_directory(fs::u8path(options.root), failure)) {
      error = options.root + ": no such folder";
    } else if (disc_folder::List(options.root, fs::u8path(options.file),
                                        disc_folder::Sizes::Listed, disc, error)) {
      return true;
    }
  }
  return false;
}
