#include "LintCommand.h"

#include <filesystem>
#include <utility>
#include <vector>

#include "DiscCheck.h"
#include "DiscFolder.h"
#include "DiscImage.h"
#include "Linter.h"
#include "ListFile.h"
#include "platform/Platform.h"

namespace fs = std::filesystem;

LintCommand::LintCommand(LintOptions chosen) : options(std::move(chosen)) {}

int LintCommand::Run(std::ostream& out, std::ostream& err) const {
  std::string bytes;
  std::string problem;
  if (!list_file::Read(options.file, bytes, problem)) {
    err << "crclist: " << options.file << ": " << problem << "\n";
    return 2;
  }
  if (bytes.empty()) {
    err << "crclist: " << options.file << ": " << list_file::kEmptyList << "\n";
    return 2;
  }
  const Linter linter(bytes);
  std::vector<Finding> findings = linter.Findings();
  if (!options.root.empty() || !options.image.empty()) {
    DiscListing disc;
    std::string shownDisc;
    if (!ListDisc(disc, shownDisc, err)) return 2;
    const std::vector<Finding> onDisc =
        DiscCheck::Compare(linter.DiscFiles(), disc, shownDisc, options.image.empty());
    findings.insert(findings.end(), onDisc.begin(), onDisc.end());
  }
  list_file::PrintFindings(out, options.file, linter.Lines(), findings);
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
    } else if (DiscFolder::List(options.root, fs::u8path(options.file), disc, error)) {
      return true;
    }
  }
  err << "crclist: " << error << "\n";
  return false;
}
