#pragma once

#include <string>

#include "disc/sectors/Track.h"

// A cue sheet: the files that hold a disc's tracks, each track's mode and where it starts.
namespace cue_sheet {

// The data tracks that the cue sheet's text at path lays out. False, with the reason, for a
// sheet whose tracks crclist cannot place.
bool Read(const std::string& path, const std::string& text, DiscLayout& layout, std::string& error);

}  // namespace cue_sheet
