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

InfTokenizer::InfTokenizer() {
  for (const inf::Section& section : inf::kSections) keywords.emplace(section.name, section.code);
}

bool InfTokenizer::Open(const char* path) {
  position = 0;
  return LoadFile(path);
}

bool InfTokenizer::OpenBytes(const std::string& bytes) {
  position = 0;
  return LoadBytes(bytes);
}

Token InfTokenizer::Next() {
  place = TokenPlace();
  current.code = Scan(current);
  if (current.code == TokenCode::Invalid) platform::ShowError(InvalidTokenMessage(current.text));
  return current;
}

Token InfTokenizer::Current() const { return current; }

const TokenPlace& InfTokenizer::Place() const { return place; }

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

bool InfTokenizer::EndsInput(std::uint8_t byte, std::uint32_t before) {
  if (byte != kEnd) return false;
  if (position != before) {
    place.stopByte = before;
    cutShort = !inf::IsPadding(Data() + position, Data() + Size());
    place.cutShort = cutShort;
  }
  return true;
}

TokenCode InfTokenizer::Scan(Token& token) {
  place.begin = place.end = position;
  if (cutShort) return TokenCode::End;
  std::uint8_t byte = kEnd;
  do {
    place.begin = position;
    byte = ReadChar();
  } while (IsWhiteSpace(byte));
  place.end = place.begin;
  if (EndsInput(byte, place.begin)) return TokenCode::End;
  if (IsWordStart(byte)) return ScanWord(token, byte);
  const TokenCode code = ScanPunctuation(token, byte);
  if (code == TokenCode::Invalid) token.text.assign(1, static_cast<char>(byte));
  place.end = position;
  return code;
}

TokenCode InfTokenizer::ScanWord(Token& token, std::uint8_t first) {
  std::string word;
  std::uint8_t byte = first;
  for (;;) {
    word += static_cast<char>(byte);
    if (IsLeadByte(byte)) {
      CheckPair(position - 1);
      word += static_cast<char>(ReadChar());
    }
    const std::uint32_t before = position;
    byte = ReadChar();
    // A word that runs into the end of the input is dropped.
    if (EndsInput(byte, before)) {
      place.droppedWord = true;
      place.end = before;
      return TokenCode::End;
    }
    if (!IsWordContinuation(byte)) break;
  }
  UnreadChar();
  place.end = position;
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
  for (;;) {
    const std::uint32_t before = position;
    const std::uint8_t byte = ReadChar();
    if (EndsInput(byte, before)) {
      place.unclosed = true;
      return false;
    }
    if (byte == quote) {
      token.text = text;
      return true;
    }
    text += static_cast<char>(byte);
    if (IsLeadByte(byte)) {
      CheckPair(before);
      text += static_cast<char>(ReadChar());
    }
  }
}

void InfTokenizer::CheckPair(std::uint32_t lead) {
  if (place.strayPair != TokenPlace::kNone) return;
  const bool character = inf::IsCp932LeadByte(Data()[lead]) &&
                         lead + 1 < static_cast<std::uint32_t>(Size()) &&
                         inf::IsCp932TrailByte(Data()[lead + 1]);
  if (!character) place.strayPair = lead;
}
