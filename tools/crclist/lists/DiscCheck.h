#pragma once

#include <string>
#include <vector>

#include "disc/listing/DiscListing.h"
#include "lists/Finding.h"
#include "lists/ListedFile.h"

// A list's disc files against the files of a disc, a folder or an image: those missing, held
// shortened by an image's name rules, of another size, or found only in another letter case, and
// the disc's files that the list leaves out.
namespace disc_check {

// shownDisc names the disc in messages ("under DIR", "in FILE.iso"). On a folder, a name that
// matches only in another case is a finding: Windows opens it, other systems do not. Sizes are
// compared where the disc's listing has them.
std::vector<Finding> Compare(const std::vector<ListedFile>& listed, const DiscListing& disc,
                             const std::string& shownDisc, bool isFolder);
// Where the disc holds more than one file that the name finds, the files, and that Windows
// opens one of them for every such name; empty otherwise.
std::string Twins(const std::string& name, const DiscListing& disc);

}  // namespace disc_check
