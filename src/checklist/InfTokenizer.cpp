#include "checklist/InfTokenizer.h"

#include "checklist/InfBytes.h"
#include "texts/Texts.h"

namespace {

using inf::IsLeadByte;
using inf::IsWhiteSpace;
using inf::IsWordContinuation;
using inf::IsWordStart;

std::string InvalidTokenMessage(const std::string& text) {
  // The text is shown as a C string would be: up to its first NUL.
  return std::string(text.c_str()) + "," + std::to_string(text.size()) + "," + texts::kInvalidToken;
}

}  // namespace

InfTokenizer::InfTokenizer()
    : keywords{{"TITLE", TokenCode::KwTitle},         {"GAME", TokenCode::KwGame},
               {"REG", TokenCode::KwReg},             {"CDFILES", TokenCode::KwCdFiles},
               {"GAMEDATA", TokenCode::KwGameData},   {"MESSAGE", TokenCode::KwMessage},
               {"DRIVEINFO", TokenCode::KwDriveInfo}} {}

bool InfTokenizer::Open(const char* path) {
  position = 0;
  return LoadFile(path);
}

Token InfTokenizer::Next() {
  current.code = Scan(current);
  if (current.code == TokenCode::Invalid) platform::ShowError(InvalidTokenMessage(current.text));
  return current;
}

Token InfTokenizer::Current() const { return current; }

bool InfTokenizer::CutShort() const { return cutShort; }

// A 0xFF byte inside the file is returned like the end of the input, but is stepped over.
std::uint8_t InfTokenizer::ReadChar() {
  if (Data() == nullptr || position >= static_cast<std::uint32_t>(Size())) return kEnd;
  return Data()[position++];
}

void InfTokenizer::UnreadChar() { --position; }

bool InfTokenizer::MatchChar(std::uint8_t expected) {
  const std::uint32_t before = position;
  if (ReadChar() == expected) return true;
  if (position != before) UnreadChar();
  return false;
}

// Whether a byte read where a token starts or goes on ends the input: the end itself or 0xFF.
bool InfTokenizer::EndsInput(std::uint8_t byte) {
  if (byte != kEnd) return false;
  if (Data() != nullptr && !inf::IsPadding(Data() + position, Data() + Size())) cutShort = true;
  return true;
}

TokenCode InfTokenizer::Scan(Token& token) {
  if (cutShort) return TokenCode::End;
  std::uint8_t byte = ReadChar();
  while (IsWhiteSpace(byte)) byte = ReadChar();
  if (EndsInput(byte)) return TokenCode::End;
  if (IsWordStart(byte)) return ScanWord(token, byte);
  const TokenCode code = ScanPunctuation(token, byte);
  if (code == TokenCode::Invalid) token.text.assign(1, static_cast<char>(byte));
  return code;
}

TokenCode InfTokenizer::ScanWord(Token& token, std::uint8_t first) {
  std::string word;
  std::uint8_t byte = first;
  for (;;) {
    word += static_cast<char>(byte);
    if (IsLeadByte(byte)) word += static_cast<char>(ReadChar());
    byte = ReadChar();
    // A word that runs into the end of the input is dropped.
    if (EndsInput(byte)) return TokenCode::End;
    if (!IsWordContinuation(byte)) break;
  }
  UnreadChar();
  token.text = word;
  const auto keyword = keywords.find(word);
  return keyword != keywords.end() ? keyword->second : TokenCode::Word;
}

TokenCode InfTokenizer::ScanPunctuation(Token& token, std::uint8_t first) {
  if (first == '"') return ReadQuoted(token, first) ? TokenCode::DoubleQuoted : TokenCode::Invalid;
  if (first == '\'') return ReadQuoted(token, first) ? TokenCode::SingleQuoted : TokenCode::Invalid;
  return inf::PunctuationCode(first, inf::TakesEqual(first) && MatchChar('='));
}

// A string without its closing quote consumes the input up to its end or a 0xFF byte.
bool InfTokenizer::ReadQuoted(Token& token, std::uint8_t quote) {
  std::string text;
  for (std::uint8_t byte = ReadChar(); !EndsInput(byte); byte = ReadChar()) {
    if (byte == quote) {
      token.text = text;
      return true;
    }
    text += static_cast<char>(byte);
    if (IsLeadByte(byte)) text += static_cast<char>(ReadChar());
  }
  return false;
}
