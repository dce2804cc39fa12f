#include "lists/CheckListWriter.h"

#include <cstdio>
#include <vector>

#include "checklist/InfBytes.h"

namespace {

std::uint8_t At(const std::string& text, std::size_t index) {
  return static_cast<std::uint8_t>(text[index]);
}

// Every byte that the reader takes as the first of two starts a CP932 double-byte character;
// a NUL would end the name where the program uses it.
bool ReadsAsCp932(const std::string& value) {
  for (std::size_t i = 0; i < value.size(); ++i) {
    const std::uint8_t byte = At(value, i);
    if (byte == 0) return false;
    if (!inf::IsLeadByte(byte)) continue;
    if (!inf::IsCp932LeadByte(byte) || i + 1 == value.size() ||
        !inf::IsCp932TrailByte(At(value, i + 1))) {
      return false;
    }
    ++i;
  }
  return true;
}

bool IsOneWord(const std::string& value) {
  if (value.empty() || !inf::IsWordStart(At(value, 0))) return false;
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (!inf::IsWordContinuation(At(value, i))) return false;
    if (inf::IsLeadByte(At(value, i))) ++i;
  }
  return true;
}

// The one value of a single-value section, none when it is empty.
std::vector<std::string> Single(const std::string& value) {
  return value.empty() ? std::vector<std::string>{} : std::vector<std::string>{value};
}

std::vector<const std::string*> WrittenValues(const CheckList& list) {
  std::vector<const std::string*> values = {&list.title, &list.gameKey};
  for (const auto* entries : {&list.regFiles, &list.cdFiles, &list.gameDataFiles}) {
    for (const FileEntry& entry : *entries) values.push_back(&entry.name);
  }
  for (const auto* lines : {&list.messageLines, &list.driveInfo}) {
    for (const std::string& line : *lines) values.push_back(&line);
  }
  return values;
}

// Only for values known to be writable.
std::string Formatted(const std::string& value) {
  std::string written;
  check_list_writer::FormatValue(value, written);
  return written;
}

std::vector<std::string> ValueLines(const std::vector<std::string>& values) {
  std::vector<std::string> lines;
  for (const std::string& value : values) lines.push_back(Formatted(value));
  return lines;
}

// The size as its unsigned bit pattern, which the loader reads back as the same 32 bits.
std::vector<std::string> EntryLines(const std::vector<FileEntry>& entries) {
  std::vector<std::string> lines;
  for (const FileEntry& entry : entries) {
    char numbers[32];
    std::snprintf(numbers, sizeof numbers, ",%lu,0x%08lX",
                  static_cast<unsigned long>(static_cast<std::uint32_t>(entry.size)),
                  static_cast<unsigned long>(entry.crc));
    lines.push_back(Formatted(entry.name) + numbers);
  }
  return lines;
}

void AddSection(std::string& text, TokenCode section, const std::vector<std::string>& lines) {
  if (lines.empty()) return;
  if (!text.empty()) text += "\r\n";
  text += std::string("[") + inf::SectionName(section) + "]\r\n";
  for (const std::string& line : lines) text += line + "\r\n";
}

}  // namespace

namespace check_list_writer {

bool Write(const CheckList& list, std::string& text, std::string& unwritable) {
  for (const std::string* value : WrittenValues(list)) {
    std::string written;
    if (!FormatValue(*value, written)) {
      unwritable = *value;
      return false;
    }
  }
  text.clear();
  AddSection(text, TokenCode::KwTitle, ValueLines(Single(list.title)));
  AddSection(text, TokenCode::KwGame, ValueLines(Single(list.gameKey)));
  AddSection(text, TokenCode::KwReg, EntryLines(list.regFiles));
  AddSection(text, TokenCode::KwCdFiles, EntryLines(list.cdFiles));
  AddSection(text, TokenCode::KwGameData, EntryLines(list.gameDataFiles));
  AddSection(text, TokenCode::KwMessage, ValueLines(list.messageLines));
  AddSection(text, TokenCode::KwDriveInfo, ValueLines(list.driveInfo));
  return true;
}

bool FormatValue(const std::string& value, std::string& written) {
  if (!ReadsAsCp932(value)) return false;
  if (IsOneWord(value)) {
    written = value;
    return true;
  }
  // A quote byte is never the second byte of a CP932 character, so a plain search finds it.
  for (const char quote : {'"', '\''}) {
    if (value.find(quote) == std::string::npos) {
      written = quote + value + quote;
      return true;
    }
  }
  return false;
}

}  // namespace check_list_writer
