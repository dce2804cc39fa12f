#pragma once

#include <string>

#include "disc/sectors/Track.h"

// A CloneCD descriptor (.ccd): the disc's table of contents, for the raw sectors of the .img
// beside it; the .sub of subchannel data is not needed.
namespace clone_cd_sheet {

// The data tracks that the descriptor's text at path lays out. False, with the reason, when it
// places none.
bool Read(const std::string& path, const std::string& text, DiscLayout& layout, std::string& error);

}  // namespace clone_cd_sheet
