#pragma once

#include <cstdint>
#include <string>

enum class TokenCode {
  End = 0,
  Word = 2,
  KwDriveInfo = 3,
  KwTitle = 4,
  KwGame = 5,
  KwReg = 6,
  KwCdFiles = 7,
  KwGameData = 8,
  KwMessage = 9,
  Plus = 10,
  Minus = 11,
  Star = 12,
  Slash = 13,
  Percent = 14,
  Assign = 15,
  LeftParen = 16,
  RightParen = 17,
  LeftBrace = 18,
  RightBrace = 19,
  LeftBracket = 20,
  RightBracket = 21,
  PlusAssign = 22,
  MinusAssign = 23,
  Semicolon = 24,
  Comma = 25,
  SingleQuoted = 26,
  DoubleQuoted = 27,
  Equal = 28,
  NotEqual = 29,
  Less = 30,
  LessEqual = 31,
  Greater = 32,
  GreaterEqual = 33,
  Invalid = 36,
};

// Punctuation and End leave the text alone, so it still holds the last word, string or invalid byte.
struct Token {
  TokenCode code = TokenCode::End;
  std::string text;
};

// Where a token stands in the list's bytes, and how the input ended at it; for the tools that
// check lists.
struct TokenPlace {
  static constexpr std::uint32_t kNone = 0xFFFFFFFFu;

  // The token's bytes. For End, begin and end are where the input ended, or begin is the start of
  // the word that ran into it.
  std::uint32_t begin = 0;
  std::uint32_t end = 0;
  bool droppedWord = false;  // End: a word ran into the end of the input and was dropped
  bool unclosed = false;     // Invalid: a quote that never closes
  // End and an unclosed quote: the 0xFF byte at which the input ended, if it was one.
  std::uint32_t stopByte = kNone;
  // The 0xFF byte had more than padding behind it: the list was not read whole.
  bool cutShort = false;
  // The first byte in the token that the reader pairs with the next one though the two are no
  // CP932 character.
  std::uint32_t strayPair = kNone;
};
