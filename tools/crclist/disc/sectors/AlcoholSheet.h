#pragma once

#include <string>

#include "disc/sectors/Track.h"

// An Alcohol media descriptor (.mds): the sessions and tracks of a CD or DVD whose sectors its
// .mdf holds.
namespace alcohol_sheet {

// The data tracks that the descriptor's bytes at path lay out. False, with the reason, for a
// descriptor that crclist cannot read.
bool Read(const std::string& path, const std::string& bytes, DiscLayout& layout,
          std::string& error);

}  // namespace alcohol_sheet
