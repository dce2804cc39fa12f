#pragma once
// UTF-8 text measured as a terminal shows it: in columns, a full-width character taking two.

#include <cstddef>
#include <string>

namespace terminal_text {

std::size_t ColumnsOf(const std::string& utf8);
// The end of the text in at most columns columns, with "…" before it when something was left
// out; never a part of a character. Control characters become "?".
std::string EndWithin(const std::string& utf8, std::size_t columns);

}  // namespace terminal_text
