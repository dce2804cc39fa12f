#include "checklist/CheckList.h"

#include "checklist/InfTokenizer.h"

namespace {

constexpr int kMaxUnknownHeaders = 1000;

bool IsSpace(char byte) {
  return byte == ' ' || (byte >= '\t' && byte <= '\r');
}

int HexDigitValue(char byte) {
  if (byte >= '0' && byte <= '9') return byte - '0';
  if (byte >= 'a' && byte <= 'f') return byte - 'a' + 10;
  if (byte >= 'A' && byte <= 'F') return byte - 'A' + 10;
  return -1;
}

// Skips leading white space and reads an optional sign; true when it was a minus.
bool ReadSign(const char*& text) {
  while (IsSpace(*text)) ++text;
  const bool negative = *text == '-';
  if (*text == '-' || *text == '+') ++text;
  return negative;
}

bool IsSectionEnd(TokenCode code) { return code == TokenCode::LeftBracket || code == TokenCode::End; }

// Reads tokens up to the next "[" or the end, handing each other token's text to take.
template <typename Take>
void ReadValues(InfTokenizer& tokenizer, Take take) {
  for (Token token = tokenizer.Next(); !IsSectionEnd(token.code); token = tokenizer.Next()) {
    take(token.text);
  }
}

}  // namespace

bool CheckList::Load(const char* path) {
  InfTokenizer tokenizer;
  if (!tokenizer.Open(path)) return false;
  tokenizer.Next();
  return ReadSections(tokenizer) && !tokenizer.CutShort();
}

std::int32_t CheckList::ReadSize(const std::string& text) {
  const char* cursor = text.c_str();
  const bool negative = ReadSign(cursor);
  std::uint32_t value = 0;
  for (; *cursor >= '0' && *cursor <= '9'; ++cursor) value = value * 10u + static_cast<std::uint32_t>(*cursor - '0');
  return static_cast<std::int32_t>(negative ? 0u - value : value);
}

// Of a longer number the low 32 bits are kept.
// "0x" with no digit after it reads as the digit 0, as the C library reads it.
bool CheckList::ReadCrc(const std::string& text, std::uint32_t& crc) {
  const char* cursor = text.c_str();
  const bool negative = ReadSign(cursor);
  if (cursor[0] == '0' && (cursor[1] == 'x' || cursor[1] == 'X') && HexDigitValue(cursor[2]) >= 0) {
    cursor += 2;
  }
  if (HexDigitValue(*cursor) < 0) return false;
  std::uint32_t value = 0;
  for (; HexDigitValue(*cursor) >= 0; ++cursor) {
    value = (value << 4) | static_cast<std::uint32_t>(HexDigitValue(*cursor));
  }
  crc = negative ? 0u - value : value;
  return true;
}

bool CheckList::ReadSections(InfTokenizer& tokenizer) {
  int unknownHeaders = 0;
  for (;;) {
    const TokenCode code = tokenizer.Current().code;
    if (code == TokenCode::End) return true;
    if (code != TokenCode::LeftBracket) {
      // Anything outside a section is skipped up to the next header.
      ReadValues(tokenizer, [](const std::string&) {});
      continue;
    }
    if (!ReadSection(tokenizer, unknownHeaders)) return false;
  }
}

// Reads one section from its "["; the tokenizer is left on the token that ended it.
bool CheckList::ReadSection(InfTokenizer& tokenizer, int& unknownHeaders) {
  const TokenCode name = tokenizer.Next().code;
  switch (name) {
    case TokenCode::End:
      return true;
    case TokenCode::KwTitle:
    case TokenCode::KwGame:
    case TokenCode::KwReg:
    case TokenCode::KwCdFiles:
    case TokenCode::KwGameData:
    case TokenCode::KwMessage:
    case TokenCode::KwDriveInfo:
      break;
    default:
      if (++unknownHeaders > kMaxUnknownHeaders) return false;
      // "[" as a name opens the next header itself; any other body is skipped.
      if (name != TokenCode::LeftBracket) ReadValues(tokenizer, [](const std::string&) {});
      return true;
  }
  if (tokenizer.Next().code != TokenCode::RightBracket) return false;
  switch (name) {
    case TokenCode::KwTitle:
      ReadValues(tokenizer, [this](const std::string& text) { title = text; });
      return true;
    case TokenCode::KwGame:
      ReadValues(tokenizer, [this](const std::string& text) { gameKey = text; });
      return true;
    case TokenCode::KwMessage:
      ReadValues(tokenizer, [this](const std::string& text) { messageLines.push_back(text); });
      return true;
    case TokenCode::KwDriveInfo:
      ReadValues(tokenizer, [this](const std::string& text) { driveInfo.push_back(text); });
      return true;
    case TokenCode::KwReg:
      return ReadEntries(tokenizer, regFiles);
    case TokenCode::KwCdFiles:
      return ReadEntries(tokenizer, cdFiles);
    default:
      return ReadEntries(tokenizer, gameDataFiles);
  }
}

// Entries are name "," size "," crc. An end of the input where the size or crc should stand
// fails: a 0xFF byte there ends the input, and scanning must not go on behind it.
bool CheckList::ReadEntries(InfTokenizer& tokenizer, std::vector<FileEntry>& entries) {
  for (Token token = tokenizer.Next(); !IsSectionEnd(token.code); token = tokenizer.Next()) {
    FileEntry entry;
    entry.name = token.text;
    if (tokenizer.Next().code != TokenCode::Comma) return false;
    const Token size = tokenizer.Next();
    if (size.code == TokenCode::End) return false;
    entry.size = ReadSize(size.text);
    if (tokenizer.Next().code != TokenCode::Comma) return false;
    const Token crc = tokenizer.Next();
    if (crc.code == TokenCode::End || !ReadCrc(crc.text, entry.crc)) return false;
    entries.push_back(entry);
  }
  return true;
}
