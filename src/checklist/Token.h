#pragma once

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
