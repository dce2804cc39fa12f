#pragma once
// Numbers and characters as crclist writes and reads them in its messages.

#include <cstddef>
#include <cstdint>
#include <string>

namespace text {

// "0x" and the value in capital hexadecimal digits, at least digits of them: "0x692079AA".
std::string Hex(std::uint32_t value, int digits);

constexpr char32_t kNotUtf8 = 0xFFFFFFFF;
// The character whose UTF-8 sequence starts at utf8[i], with i moved past it; kNotUtf8, with i
// moved past one byte, where no whole sequence starts.
char32_t NextCharacter(const std::string& utf8, std::size_t& i);
void AppendCharacter(char32_t c, std::string& utf8);

}  // namespace text
