#pragma once

#include <filesystem>
#include <string>

#include "disc/listing/DiscListing.h"

// The files of a disc folder, sorted by the bytes of their names.
namespace disc_folder {

// Whether the listing gives each file's size, which takes a look at each file beyond its folder's
// entries.
enum class Sizes { Listed, Unlisted };

// Every file under root (UTF-8) except its check list: "crclist.INF" at the root, in any case,
// and the file that skip names. False, with a message naming the file, when one cannot be
// listed.
bool List(const std::string& root, const std::filesystem::path& skip, Sizes sizes,
          DiscListing& listing, std::string& error);

}  // namespace disc_folder
