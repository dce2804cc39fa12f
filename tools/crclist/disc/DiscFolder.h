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

// Why crclist reads nothing at a path of that type: a FIFO, a device or a socket, which could
// make a reader wait for a writer or read for ever, and which no disc holds. Empty for the rest.
std::string NotAFile(std::filesystem::file_type type);

// Whether a symbolic link at path leads out of root (canonical), where crclist reads nothing, as
// for a listed name that climbs out with "..". Empty when it does not or leads nowhere; shownLink
// names the link in the reason.
std::string LinkOutside(const std::filesystem::path& path, const std::filesystem::path& root,
                        const std::string& shownLink);

}  // namespace disc_folder
