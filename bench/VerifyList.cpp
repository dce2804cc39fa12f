// Verifies every [CDFILES] entry of a check list, the files named relative to the list's folder,
// one file at a time as the program does. Exit status 0 when all are intact.
#include <cstdio>
#include <string>

#include "checklist/CheckList.h"
#include "verify/FileVerification.h"

namespace {

std::string FolderOf(const std::string& path) {
  const std::size_t separator = path.find_last_of("/\\");
  return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: verify_list CHECKLIST\n");
    return 2;
  }
  CheckList list;
  if (!list.Load(argv[1])) {
    std::fprintf(stderr, "%s: the check list does not load\n", argv[1]);
    return 2;
  }
  const std::string folder = FolderOf(argv[1]);
  const VerificationProgress progress{[] { return true; }, [](int) {}};
  for (const FileEntry& entry : list.cdFiles) {
    const std::string path = folder + entry.name;
    const VerificationResult result = VerifyFileContents(path.c_str(), entry.size, entry.crc, progress);
    if (result != VerificationResult::Intact) {
      std::fprintf(stderr, "%s: not intact\n", path.c_str());
      return 1;
    }
  }
  std::printf("%zu files intact\n", list.cdFiles.size());
  return 0;
}
