#pragma once
// The byte classes of the check-list format, shared by the tokenizer and by the tools that write
// or check lists, so that they all split a file where the program does.

#include <cstdint>

namespace inf {

inline bool IsWhiteSpace(std::uint8_t byte) {
  return byte == ' ' || byte == '\t' || byte == '\r' || byte == '\n';
}

// Wider than CP932's own lead bytes: 0x80, 0xA0 and 0xFD-0xFF count too.
inline bool IsLeadByte(std::uint8_t byte) { return (byte >= 0x80 && byte <= 0xA0) || byte >= 0xE0; }

inline bool IsWordStart(std::uint8_t byte) {
  return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
         (byte >= '0' && byte <= '9') || byte == '_' || IsLeadByte(byte);
}

inline bool IsWordContinuation(std::uint8_t byte) {
  return IsWordStart(byte) || byte == '.' || byte == '\\';
}

}  // namespace inf
