#pragma once
// The byte classes of the check-list format, shared by the tokenizer and by the tools that write
// or check lists, so that they all split a file where the program does.

#include <algorithm>
#include <cstdint>

#include "checklist/Token.h"

namespace inf {

inline bool IsWhiteSpace(std::uint8_t byte) {
  return byte == ' ' || byte == '\t' || byte == '\r' || byte == '\n';
}

// What may follow a 0xFF byte at the end of a list: lists in the field are padded with 0xFF bytes,
// but a 0xFF byte with anything else behind it cuts the list short.
inline bool IsPadding(const std::uint8_t* begin, const std::uint8_t* end) {
  return std::all_of(begin, end, [](std::uint8_t byte) { return byte == 0xFF || IsWhiteSpace(byte); });
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

// "+", "-", "=", "<", ">" and "!" join an "=" right after them into one token.
inline bool TakesEqual(std::uint8_t first) {
  return first == '+' || first == '-' || first == '=' || first == '<' || first == '>' || first == '!';
}

// The code of the token that the byte starts, other than a word or a quoted string; withEqual
// tells whether an "=" was joined to it. Any other byte starts an invalid token.
inline TokenCode PunctuationCode(std::uint8_t first, bool withEqual) {
  switch (first) {
    case '+': return withEqual ? TokenCode::PlusAssign : TokenCode::Plus;
    case '-': return withEqual ? TokenCode::MinusAssign : TokenCode::Minus;
    case '=': return withEqual ? TokenCode::Equal : TokenCode::Assign;
    case '<': return withEqual ? TokenCode::LessEqual : TokenCode::Less;
    case '>': return withEqual ? TokenCode::GreaterEqual : TokenCode::Greater;
    case '!': return withEqual ? TokenCode::NotEqual : TokenCode::Invalid;
    case '*': return TokenCode::Star;
    case '/': return TokenCode::Slash;
    case '%': return TokenCode::Percent;
    case '(': return TokenCode::LeftParen;
    case ')': return TokenCode::RightParen;
    case '{': return TokenCode::LeftBrace;
    case '}': return TokenCode::RightBrace;
    case '[': return TokenCode::LeftBracket;
    case ']': return TokenCode::RightBracket;
    case ';': return TokenCode::Semicolon;
    case ',': return TokenCode::Comma;
    default: return TokenCode::Invalid;
  }
}

}  // namespace inf
