#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "lists/Finding.h"
#include "lists/LineIndex.h"

// A check list's file as the commands read it before the program's loader does.
namespace list_file {

// What the commands say of an empty list, which the program cannot load.
inline constexpr char kEmptyList[] = "the file is empty, and Disksentry cannot load it";

// The file's bytes, none for an empty file; false, with what is wrong in a few words, when it
// cannot be read.
bool Read(const std::string& utf8Path, std::string& bytes, std::string& problem);
// Each finding as "FILE:LINE:COLUMN: message [tag]", in file order, those about the whole file
// last.
void PrintFindings(std::ostream& out, const std::string& file, const LineIndex& lines,
                   std::vector<Finding> findings);

}  // namespace list_file
