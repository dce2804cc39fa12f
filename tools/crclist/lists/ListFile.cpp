#include "lists/ListFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace list_file {

namespace fs = std::filesystem;

bool Read(const std::string& utf8Path, std::string& bytes, std::string& problem) {
  const fs::path path = fs::u8path(utf8Path);
  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  if (fs::is_symlink(fs::symlink_status(path, error)) && !fs::exists(status)) {
    problem = "a broken symbolic link to " + fs::read_symlink(path, error).u8string();
    return false;
  }
  if (!fs::exists(status)) {
    problem = "no such file";
    return false;
  }
  if (fs::is_directory(status)) {
    problem = "a folder, not a check list";
    return false;
  }
  errno = 0;
  std::ifstream file(path, std::ios::binary);
  if (file) bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  // An empty file reads fine: it is the loader that refuses it.
  if (!file.is_open() || file.bad()) {
    problem = std::string("cannot be read: ") + std::strerror(errno);
    return false;
  }
  return true;
}

void PrintFindings(std::ostream& out, const std::string& file, const LineIndex& lines,
                   std::vector<Finding> findings) {
  std::stable_sort(findings.begin(), findings.end(),
                   [](const Finding& a, const Finding& b) { return a.offset < b.offset; });
  for (const Finding& finding : findings) {
    out << file;
    if (finding.offset != Finding::kWholeFile) out << ":" << lines.PositionOf(finding.offset);
    out << ": " << finding.message << " [" << Finding::TagOf(finding.kind) << "]\n";
  }
}

}  // namespace list_file
