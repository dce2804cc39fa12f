#pragma once

#include <string>
#include <vector>

#include "DiscListing.h"
#include "Finding.h"
#include "ListedFile.h"

// A list's disc files against the files of a disc, a folder or an image: those missing, held
// shortened by an image's name rules, of another size, or found only in another letter case, and
// the disc's files that the list leaves out.
class DiscCheck {
 public:
  // shownDisc names the disc in messages ("under DIR", "in FILE.iso"). On a folder, a name that
  // matches only in another case is a finding: Windows opens it, other systems do not.
  static std::vector<Finding> Compare(const std::vector<ListedFile>& listed,
                                      const DiscListing& disc, const std::string& shownDisc,
                                      bool isFolder);
  // Where the disc holds more than one file that the name finds, the files, and that Windows
  // opens one of them for every such name; empty otherwise.
  static std::string Twins(const std::string& name, const DiscListing& disc);
};
