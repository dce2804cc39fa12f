#include "LintCommand.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <utility>
#include <vector>

#include "Linter.h"
#include "Paths.h"
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

// The listed disc files that are missing under the root or have another size.
void CheckDiscFiles(const Linter& linter, const std::string& root, const std::string& shownRoot,
                    std::vector<Finding>& findings) {
  for (const ListedDiscFile& listed : linter.DiscFiles()) {
    const std::string name = (listed.gameData ? "gamedata\\" : "") + listed.entry.name;
    const std::string shownName = "\"" + platform::Cp932ToUtf8(name) + "\"";
    const platform::FileHandle file = platform::OpenForReading(paths::Join(root, name).c_str());
    if (file == platform::kNoFile) {
      findings.push_back({listed.offset, FindingKind::MissingFile,
                          shownName + " is not found under " + shownRoot});
      continue;
    }
    std::uint32_t size = 0;
    const auto listedSize = static_cast<std::uint32_t>(listed.entry.size);
    if (platform::GetFileSize32(file, size) && size != listedSize) {
      findings.push_back({listed.offset, FindingKind::SizeDiffers,
                          shownName + " has " + std::to_string(size) + " bytes under " + shownRoot +
                              ", the list says " + std::to_string(listedSize)});
    }
    platform::CloseFile(file);
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
  if (!options.root.empty()) {
    std::string root;
    std::error_code error;
    if (!fs::is_directory(fs::u8path(options.root), error)) {
      err << "crclist: " << options.root << ": no such folder\n";
      return 2;
    }
    if (!paths::ToListPath(options.root, root, err)) return 2;
    CheckDiscFiles(linter, root, options.root, findings);
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
