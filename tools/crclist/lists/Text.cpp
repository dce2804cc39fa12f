#include "lists/Text.h"

#include <cstdio>

namespace text {

std::string Hex(std::uint32_t value, int digits) {
  char written[16];
  std::snprintf(written, sizeof written, "0x%0*lX", digits, static_cast<unsigned long>(value));
  return written;
}

char32_t NextCharacter(const std::string& utf8, std::size_t& i) {
  const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(utf8[at]); };
  const unsigned char lead = byte(i);
  const std::size_t length = lead < 0x80                   ? 1
                             : lead >= 0xC2 && lead <= 0xDF ? 2
                             : lead >= 0xE0 && lead <= 0xEF ? 3
                             : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                            : 0;
  if (length == 0 || i + length > utf8.size()) {
    ++i;
    return kNotUtf8;
  }
  char32_t c = length == 1 ? lead : lead & (0x7Fu >> length);
  for (std::size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) {
      ++i;
      return kNotUtf8;
    }
    c = (c << 6) | (byte(i + k) & 0x3F);
  }
  i += length;
  return c;
}

void AppendCharacter(char32_t c, std::string& utf8) {
  if (c < 0x80) {
    utf8 += static_cast<char>(c);
  } else if (c < 0x800) {
    utf8 += static_cast<char>(0xC0 | (c >> 6));
    utf8 += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    utf8 += static_cast<char>(0xE0 | (c >> 12));
    utf8 += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    utf8 += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    utf8 += static_cast<char>(0xF0 | (c >> 18));
    utf8 += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    utf8 += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    utf8 += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace text
