#include "InfScanner.h"

#include "checklist/InfBytes.h"

namespace {

bool IsCp932LeadByte(std::uint8_t byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool IsCp932TrailByte(std::uint8_t byte) {
  return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
}

TokenCode KeywordCode(const std::string& word) {
  static const std::pair<const char*, TokenCode> kKeywords[] = {
      {"TITLE", TokenCode::KwTitle},
      {"GAME", TokenCode::KwGame},
      {"REG", TokenCode::KwReg},
      {"CDFILES", TokenCode::KwCdFiles},
      {"GAMEDATA", TokenCode::KwGameData},
      {"MESSAGE", TokenCode::KwMessage},
      {"DRIVEINFO", TokenCode::KwDriveInfo},
  };
  for (const auto& [name, code] : kKeywords) {
    if (word == name) return code;
  }
  return TokenCode::Word;
}

}  // namespace

InfScanner::InfScanner(const std::string& fileBytes) : bytes(fileBytes) {}

ScannedToken InfScanner::Next() {
  ScannedToken token;
  if (cutShort) {
    token.begin = token.end = position;
    token.text = carried;
    return token;
  }
  std::uint8_t byte = kEnd;
  do {
    token.begin = position;
    byte = ReadChar();
  } while (inf::IsWhiteSpace(byte));
  if (byte == kEnd) {
    token.stopByte = StopByte(token.begin);
    token.end = token.begin;
  } else if (inf::IsWordStart(byte)) {
    ScanWord(token, byte);
  } else {
    token.code = ScanPunctuation(token, byte);
    if (token.code == TokenCode::Invalid) carried.assign(1, static_cast<char>(byte));
    token.end = position;
  }
  token.text = carried;
  return token;
}

bool InfScanner::CutShort() const { return cutShort; }

std::uint8_t InfScanner::ReadChar() {
  if (position >= bytes.size()) return kEnd;
  return static_cast<std::uint8_t>(bytes[position++]);
}

void InfScanner::UnreadChar() { --position; }

bool InfScanner::MatchChar(std::uint8_t expected) {
  const std::uint32_t before = position;
  if (ReadChar() == expected) return true;
  if (position != before) UnreadChar();
  return false;
}

std::uint32_t InfScanner::StopByte(std::uint32_t before) {
  if (position == before) return ScannedToken::kNone;
  const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
  cutShort = !inf::IsPadding(data + position, data + bytes.size());
  return before;
}

void InfScanner::ScanWord(ScannedToken& token, std::uint8_t first) {
  std::string word;
  for (std::uint8_t byte = first;;) {
    word += static_cast<char>(byte);
    if (inf::IsLeadByte(byte)) {
      CheckPair(token, position - 1);
      word += static_cast<char>(ReadChar());
    }
    const std::uint32_t before = position;
    byte = ReadChar();
    if (byte == kEnd) {
      token.code = TokenCode::End;
      token.droppedWord = true;
      token.end = before;
      token.stopByte = StopByte(before);
      return;
    }
    if (!inf::IsWordContinuation(byte)) break;
  }
  UnreadChar();
  token.end = position;
  token.code = KeywordCode(word);
  carried = word;
}

TokenCode InfScanner::ScanPunctuation(ScannedToken& token, std::uint8_t first) {
  if (first == '"' || first == '\'') {
    std::string quoted;
    if (!ReadQuoted(token, first, quoted)) return TokenCode::Invalid;
    carried = quoted;
    return first == '"' ? TokenCode::DoubleQuoted : TokenCode::SingleQuoted;
  }
  return inf::PunctuationCode(first, inf::TakesEqual(first) && MatchChar('='));
}

bool InfScanner::ReadQuoted(ScannedToken& token, std::uint8_t quote, std::string& quoted) {
  for (;;) {
    const std::uint32_t before = position;
    const std::uint8_t byte = ReadChar();
    if (byte == kEnd) {
      token.unclosed = true;
      token.stopByte = StopByte(before);
      return false;
    }
    if (byte == quote) return true;
    quoted += static_cast<char>(byte);
    if (inf::IsLeadByte(byte)) {
      CheckPair(token, before);
      quoted += static_cast<char>(ReadChar());
    }
  }
}

void InfScanner::CheckPair(ScannedToken& token, std::uint32_t lead) const {
  if (token.strayPair != ScannedToken::kNone) return;
  const bool character = IsCp932LeadByte(static_cast<std::uint8_t>(bytes[lead])) &&
                         lead + 1 < bytes.size() &&
                         IsCp932TrailByte(static_cast<std::uint8_t>(bytes[lead + 1]));
  if (!character) token.strayPair = lead;
}
