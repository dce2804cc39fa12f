#include "checklist/CheckList.h"

#include "checklist/CheckListLoader.h"
#include "checklist/InfTokenizer.h"
#include "checklist/LoadObserver.h"

namespace {

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

// The program observes nothing.
LoadObserver silent;

bool LoadWith(InfTokenizer& tokenizer, bool opened, CheckList& list, LoadObserver* observer) {
  LoadObserver& told = observer != nullptr ? *observer : silent;
  if (!opened) {
    told.LoadFailed(LoadFailure::Unreadable, Token(), Token(), TokenPlace());
    return false;
  }
  return CheckListLoader(tokenizer, list, told).Load();
}

}  // namespace

bool CheckList::Load(const char* path, LoadObserver* observer) {
  InfTokenizer tokenizer;
  return LoadWith(tokenizer, tokenizer.Open(path), *this, observer);
}

bool CheckList::LoadBytes(const std::string& bytes, LoadObserver* observer) {
  InfTokenizer tokenizer;
  return LoadWith(tokenizer, tokenizer.OpenBytes(bytes), *this, observer);
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
