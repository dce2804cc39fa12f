#include "LintCommand.h"

#include <filesystem>
#include <utility>
#include <vector>

#include "Linter.h"
#include "ListFile.h"
#include "Paths.h"
#include "RootCheck.h"
#include "platform/Platform.h"

namespace {

namespace fs = std::filesystem;

}  // namespace

LintCommand::LintCommand(LintOptions chosen) : options(std::move(chosen)) {}

int LintCommand::Run(std::ostream& out, std::ostream& err) const {
  std::string bytes;
  std::string problem;
  if (!list_file::Read(options.file, bytes, problem)) {
    err << "crclist: " << options.file << ": " << problem << "\n";
    return 2;
  }
  const Linter linter(bytes);
  std::vector<Finding> findings = linter.Findings();
  if (!options.root.empty()) {
    std::string root;
    std::error_code error;
    if (!fs::is_directory(fs::u8path(options.root), error)) {
      err << "crclist: " << options.root << ": no such folder\n";
      return 2;
    }
    if (!paths::ToListPath(options.root, root, err)) return 2;
    const std::vector<Finding> rootFindings =
        RootCheck::Compare(linter.DiscFiles(), options.root, fs::u8path(options.file));
    findings.insert(findings.end(), rootFindings.begin(), rootFindings.end());
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
