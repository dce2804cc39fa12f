#pragma once

#include <string>

#include "disc/sectors/Track.h"

// What kind of image a file is, told by its content, and where its data tracks lie.
namespace image_format {

// The layout of the image at that UTF-8 path: a plain image of 2048-byte sectors, a raw image of
// 2352-byte sectors, or the tracks that a cue sheet, CloneCD or Alcohol descriptor names. False,
// with the reason, for a file that crclist does not read (a compressed or proprietary container
// is named as such).
bool Describe(const std::string& path, DiscLayout& layout, std::string& error);

// The file that a descriptor names: beside the descriptor unless the name is absolute; a name
// that is no UTF-8 file there is tried as CP932, as Japanese tools write them.
std::string Sibling(const std::string& descriptor, const std::string& name);

// The file beside the descriptor with its name and that extension (".img"), in capitals where
// only such a file is there.
std::string WithExtension(const std::string& descriptor, const std::string& extension);

}  // namespace image_format
