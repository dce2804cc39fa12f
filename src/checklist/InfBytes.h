#pragma once
// The byte classes of the check-list format, shared by the tokenizer and by the tools that write
// or check lists, so that they all split a file where the program does.

#include <algorithm>
#include <cstdint>
#include <string>

#include "checklist/Token.h"

namespace inf {

// The seven section names, in the order a written list has them.
struct Section {
  const char* name;
  TokenCode code;
};

inline constexpr Section kSections[] = {
    {"TITLE", TokenCode::KwTitle},         {"GAME", TokenCode::KwGame},
    {"REG", TokenCode::KwReg},             {"CDFILES", TokenCode::KwCdFiles},
    {"GAMEDATA", TokenCode::KwGameData},   {"MESSAGE", TokenCode::KwMessage},
    {"DRIVEINFO", TokenCode::KwDriveInfo},
};

inline const char* SectionName(TokenCode code) {
  for (const Section& section : kSections) {
    if (section.code == code) return section.name;
  }
  return "";
}

// The folder under a disc's root that GAMEDATA names are relative to.
inline constexpr char kGameDataFolder[] = "gamedata\\";

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

// The bytes that start and end a double-byte character of CP932 itself.
inline bool IsCp932LeadByte(std::uint8_t byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

inline bool IsCp932TrailByte(std::uint8_t byte) {
  return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
}

// Calls visit with each byte of a CP932 path that is not the second byte of a double-byte
// character, and may change it: 0x5C there is a separator, as the trail byte of "ソ" it is not.
template <typename Visit>
void EachSingleByte(std::string& path, Visit visit) {
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (IsCp932LeadByte(static_cast<std::uint8_t>(path[i]))) {
      ++i;
    } else {
      visit(path[i]);
    }
  }
}

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
