#pragma once
// Command-line paths, which are UTF-8, as the check-list paths through which the platform layer
// opens files: CP932 with backslashes.

#include <ostream>
#include <string>

namespace paths {

// False, after telling why on err, when the path has no CP932 form.
bool ToListPath(const std::string& utf8, std::string& cp932, std::ostream& err);
// Joins a CP932 folder and a relative check-list name with one backslash. A folder that ends in
// "ソ" (83 5C) does not end in a separator.
std::string Join(const std::string& folder, const std::string& name);

}  // namespace paths
