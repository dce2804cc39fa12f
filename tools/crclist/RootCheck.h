#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "Finding.h"
#include "Linter.h"

// A list's disc files against a disc folder: those missing, of another size or found only in
// another letter case, and the folder's files that the list leaves out.
class RootCheck {
 public:
  // root is the folder as the command line gave it (UTF-8); the list's own file is no disc file.
  static std::vector<Finding> Compare(const std::vector<ListedDiscFile>& listed,
                                      const std::string& root, const std::filesystem::path& list);
};
