#include "terminal/TerminalText.h"

#include <vector>

#include "lists/Text.h"

namespace terminal_text {
namespace {

const char kEllipsis[] = "\xE2\x80\xA6";  // "…", one column

struct Character {
  std::string bytes;
  std::size_t columns;
};

// East Asian wide and full-width ranges, and the zero-width combining marks.
std::size_t ColumnsOfCodePoint(char32_t c) {
  if ((c >= 0x0300 && c <= 0x036F) || (c >= 0x3099 && c <= 0x309A) || c == 0x200B) return 0;
  const bool wide = (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) ||
                    (c >= 0x3041 && c <= 0x33FF) || (c >= 0x3400 && c <= 0x4DBF) ||
                    (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF) ||
                    (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
                    (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
                    (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x1F300 && c <= 0x1F64F) ||
                    (c >= 0x20000 && c <= 0x3FFFD);
  return wide ? 2 : 1;
}

std::vector<Character> Characters(const std::string& utf8) {
  std::vector<Character> characters;
  for (std::size_t i = 0; i < utf8.size();) {
    const std::size_t start = i;
    const char32_t c = text::NextCharacter(utf8, i);
    if (c < 0x20 || c == 0x7F) {
      characters.push_back({"?", 1});
    } else {
      // A byte that starts no character takes a column of its own.
      const std::size_t columns = c == text::kNotUtf8 ? 1 : ColumnsOfCodePoint(c);
      characters.push_back({utf8.substr(start, i - start), columns});
    }
  }
  return characters;
}

}  // namespace

std::size_t ColumnsOf(const std::string& utf8) {
  std::size_t columns = 0;
  for (const Character& character : Characters(utf8)) columns += character.columns;
  return columns;
}

std::string EndWithin(const std::string& utf8, std::size_t columns) {
  const std::vector<Character> characters = Characters(utf8);
  std::size_t total = 0;
  for (const Character& character : characters) total += character.columns;
  std::size_t kept = characters.size();
  std::size_t used = 0;
  const std::size_t room = total <= columns ? columns : (columns == 0 ? 0 : columns - 1);
  while (kept > 0 && used + characters[kept - 1].columns <= room) {
    used += characters[kept - 1].columns;
    --kept;
  }
  std::string end = kept == 0 || columns == 0 ? "" : kEllipsis;
  for (std::size_t i = kept; i < characters.size(); ++i) end += characters[i].bytes;
  return end;
}

}  // namespace terminal_text
