#pragma once
// Command-line paths, which are UTF-8, as the check-list paths through which the platform layer
// opens files: CP932 with backslashes; and what a listed name means on a disc.

#include <cstddef>
#include <string>

namespace paths {

// False, with why, when the path has no CP932 form.
bool ToListPath(const std::string& utf8, std::string& cp932, std::string& why);
// Joins a CP932 folder and a relative check-list name with one backslash. A folder that ends in
// "ソ" (83 5C) does not end in a separator.
std::string Join(const std::string& folder, const std::string& name);

// A listed name that a drive's root does not hold: a ".." part, a leading separator or a drive.
bool LeavesDisc(const std::string& cp932);
bool ClimbsOut(const std::string& cp932);
// The characters Windows counts in the path (a double-byte character is one).
std::size_t CharactersOf(const std::string& cp932);

}  // namespace paths
