#include "Linter.h"

#include <cctype>
#include <cstdio>
#include <utility>

#include "platform/Platform.h"

namespace {

constexpr int kMaxUnknownHeaders = 1000;
const char kFailsHere[] = ": the load fails here, and Disksentry reads nothing after it";

std::string Quoted(const std::string& cp932) { return "\"" + platform::Cp932ToUtf8(cp932) + "\""; }

std::string Hex(std::uint32_t value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%0*lX", digits, static_cast<unsigned long>(value));
  return text;
}

std::string ByteName(std::uint8_t byte) {
  if (byte > 0x20 && byte < 0x7F) return "\"" + std::string(1, static_cast<char>(byte)) + "\"";
  return "byte " + Hex(byte, 2);
}

bool IsSectionEnd(TokenCode code) {
  return code == TokenCode::LeftBracket || code == TokenCode::End;
}

// A token that carries the text of the one before it instead of a text of its own.
bool IsPunctuationValue(TokenCode code) {
  return code >= TokenCode::Plus && code <= TokenCode::GreaterEqual &&
         code != TokenCode::LeftBracket && code != TokenCode::SingleQuoted &&
         code != TokenCode::DoubleQuoted;
}

bool IsValueText(TokenCode code) {
  return code == TokenCode::Word || code == TokenCode::SingleQuoted ||
         code == TokenCode::DoubleQuoted ||
         (code >= TokenCode::KwDriveInfo && code <= TokenCode::KwMessage);
}

bool IsPlainSize(const std::string& text) {
  if (text.empty() || text.size() > 10) return false;
  for (const char digit : text) {
    if (digit < '0' || digit > '9') return false;
  }
  return std::stoull(text) <= 0xFFFFFFFFu;
}

bool IsPlainCrc(const std::string& text) {
  const std::size_t digits = text.compare(0, 2, "0x") == 0 || text.compare(0, 2, "0X") == 0 ? 2 : 0;
  if (text.size() == digits || text.size() > digits + 8) return false;
  for (std::size_t i = digits; i < text.size(); ++i) {
    if (!std::isxdigit(static_cast<unsigned char>(text[i]))) return false;
  }
  return true;
}

// The section name that a wrongly cased name was most likely meant to be.
std::string MeantSection(const std::string& name) {
  std::string upper = name;
  for (char& letter : upper) {
    letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
  }
  for (const char* section :
       {"TITLE", "GAME", "REG", "CDFILES", "GAMEDATA", "MESSAGE", "DRIVEINFO"}) {
    if (upper == section) return section;
  }
  return "";
}

// The offset of the first character of a file that is UTF-8 text with characters of three bytes
// or more (Japanese among them); kWholeFile when it is not.
std::uint32_t Utf8TextStart(const std::string& bytes) {
  std::uint32_t first = Finding::kWholeFile;
  bool wide = false;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (byte < 0x80) continue;
    const std::size_t length = byte >= 0xF0 && byte <= 0xF4   ? 4
                               : byte >= 0xE0                 ? 3
                               : byte >= 0xC2 && byte <= 0xDF ? 2
                                                              : 0;
    if (length == 0 || i + length > bytes.size()) return Finding::kWholeFile;
    for (std::size_t k = 1; k < length; ++k) {
      if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return Finding::kWholeFile;
    }
    if (first == Finding::kWholeFile) first = static_cast<std::uint32_t>(i);
    wide = wide || length >= 3;
    i += length - 1;
  }
  return wide ? first : Finding::kWholeFile;
}

}  // namespace

Linter::Linter(std::string fileBytes)
    : bytes(std::move(fileBytes)), lineIndex(bytes), scanner(bytes) {
  const std::uint32_t utf8 = Utf8TextStart(bytes);
  if (utf8 != Finding::kWholeFile) {
    Report(utf8, FindingKind::Utf8Text,
           "the file is UTF-8 text, but Disksentry reads CP932: its Japanese comes out garbled; "
           "save it as CP932 (Shift_JIS) without a byte-order mark");
  }
  // The program cannot load an empty file at all.
  if (bytes.empty()) {
    Report(Finding::kWholeFile, FindingKind::LoadFails,
           "the file is empty, and Disksentry cannot load it");
    return;
  }
  loads = ReadSections() && !scanner.CutShort();
  if (loads) CheckWholeFile();
}

const std::vector<Finding>& Linter::Findings() const { return findings; }

const CheckList& Linter::Reading() const { return reading; }

bool Linter::Loads() const { return loads; }

const std::vector<ListedDiscFile>& Linter::DiscFiles() const { return discFiles; }

const LineIndex& Linter::Lines() const { return lineIndex; }

// Takes the next token, as the loader does, with what the program shows or loses on the way.
void Linter::Next() {
  current = scanner.Next();
  ReportToken();
  // Padding may follow a 0xFF byte; anything else means the list was not read whole.
  if (current.stopByte != ScannedToken::kNone && scanner.CutShort()) {
    Report(current.stopByte, FindingKind::LoadFails,
           "byte 0xFF ends the input, yet more than 0xFF bytes and white space follow it" +
               std::string(kFailsHere));
  }
}

void Linter::ReportToken() {
  if (current.strayPair != ScannedToken::kNone) {
    const auto lead = static_cast<std::uint8_t>(bytes[current.strayPair]);
    Report(current.strayPair, FindingKind::StrayByte,
           "byte " + Hex(lead, 2) +
               " and the byte after it are no CP932 character, yet the reader takes them as one");
  }
  const bool quoted =
      current.code == TokenCode::SingleQuoted || current.code == TokenCode::DoubleQuoted;
  if (quoted && current.text.find_first_of("\r\n") != std::string::npos) {
    Report(current.begin, FindingKind::QuoteOverLines,
           "the quoted text runs on to line " + std::to_string(lineIndex.LineOf(current.end - 1)) +
               ": is a closing quote missing?");
  }
  if (current.code == TokenCode::Invalid) ReportInvalid();
  if (current.code == TokenCode::End) ReportEnd();
}

void Linter::ReportInvalid() {
  if (current.unclosed) {
    Report(current.begin, FindingKind::UnclosedQuote,
           current.stopByte == ScannedToken::kNone
               ? "the quote opened here never closes: the rest of the file is one invalid token"
               : "the quote opened here is cut by the 0xFF byte at " +
                     lineIndex.PositionOf(current.stopByte) +
                     ": everything up to it is one invalid token");
    return;
  }
  const auto byte = static_cast<std::uint8_t>(bytes[current.begin]);
  std::string what = ByteName(byte) + " cannot stand outside quotes";
  if (byte >= 0xA1 && byte <= 0xDF) {
    what = "half-width katakana " + Quoted(current.text) + " cannot stand in a word";
  }
  if (byte == '.' || byte == '\\') what = ByteName(byte) + " cannot start a word";
  if (byte == '!') what = "\"!\" without \"=\" after it is no token";
  Report(current.begin, FindingKind::InvalidByte,
         what +
             ": Disksentry shows an error box for it and reads it as a value of its own; quote "
             "the text that holds it");
}

void Linter::ReportEnd() {
  if (!current.droppedWord) return;
  const std::string word = bytes.substr(current.begin, current.end - current.begin);
  Report(current.begin, FindingKind::DroppedWord,
         current.stopByte == ScannedToken::kNone
             ? "the last word " + Quoted(word) +
                   " runs into the end of the file and is dropped: end the file with a line end"
             : "the word " + Quoted(word) + " runs into a 0xFF byte and is dropped");
}

bool Linter::ReadSections() {
  int unknownHeaders = 0;
  Next();
  for (;;) {
    if (current.code == TokenCode::End) return true;
    if (current.code != TokenCode::LeftBracket) {
      Report(current.begin, FindingKind::OutsideSection,
             "this stands outside any section and is skipped up to the next \"[\"");
      SkipValues();
      continue;
    }
    if (!ReadSection(unknownHeaders)) return false;
  }
}

// Reads one section from its "[", leaving the token that ended it current.
bool Linter::ReadSection(int& unknownHeaders) {
  const std::uint32_t header = current.begin;
  Next();
  switch (current.code) {
    case TokenCode::End:
      Report(header, FindingKind::UnknownSection,
             "\"[\" opens no section before the end of the file");
      return true;
    case TokenCode::KwTitle:
    case TokenCode::KwGame:
    case TokenCode::KwReg:
    case TokenCode::KwCdFiles:
    case TokenCode::KwGameData:
    case TokenCode::KwMessage:
    case TokenCode::KwDriveInfo: break;
    default:
      if (++unknownHeaders > kMaxUnknownHeaders) {
        Report(current.begin, FindingKind::LoadFails,
               "more than 1000 unknown sections" + std::string(kFailsHere));
        return false;
      }
      ReportUnknownSection();
      if (current.code != TokenCode::LeftBracket) SkipValues();
      return true;
  }
  const ScannedToken name = current;
  Next();
  if (current.code != TokenCode::RightBracket) {
    return Fail("expected \"]\" after the section name " + Quoted(name.text));
  }
  switch (name.code) {
    case TokenCode::KwTitle:
      ReadValues("TITLE", Values::Single,
                 [this](const std::string& text) { reading.title = text; });
      return true;
    case TokenCode::KwGame:
      ReadValues("GAME", Values::Single,
                 [this](const std::string& text) { reading.gameKey = text; });
      return true;
    case TokenCode::KwMessage:
      ReadValues("MESSAGE", Values::MessageLines,
                 [this](const std::string& text) { reading.messageLines.push_back(text); });
      return true;
    case TokenCode::KwDriveInfo:
      ReadValues("DRIVEINFO", Values::DriveInfo,
                 [this](const std::string& text) { reading.driveInfo.push_back(text); });
      return true;
    case TokenCode::KwReg: return ReadEntries("REG", reading.regFiles);
    case TokenCode::KwCdFiles: return ReadEntries("CDFILES", reading.cdFiles);
    default: return ReadEntries("GAMEDATA", reading.gameDataFiles);
  }
}

void Linter::ReportUnknownSection() {
  if (current.code == TokenCode::LeftBracket) {
    Report(current.begin, FindingKind::UnknownSection, "\"[\" stands where a section name should");
    return;
  }
  const std::string meant = MeantSection(current.text);
  Report(current.begin, FindingKind::UnknownSection,
         "unknown section " + Quoted(Bytes(current)) +
             ": its body is skipped up to the next \"[\"" +
             (meant.empty() ? "; a \"[\" inside a text starts a section, so quote such a text"
                            : "; section names are case-sensitive: write \"" + meant + "\""));
}

void Linter::SkipValues() {
  for (Next(); !IsSectionEnd(current.code); Next()) {
  }
}

void Linter::ReadValues(const char* section, Values kind,
                        const std::function<void(const std::string&)>& take) {
  std::size_t count = 0;
  std::uint32_t previousLine = 0;
  std::uint32_t reportedLine = 0;
  for (Next(); !IsSectionEnd(current.code); Next()) {
    CheckValueToken();
    ++count;
    const std::uint32_t line = lineIndex.LineOf(current.begin);
    if (kind == Values::Single && count == 2) {
      Report(current.begin, FindingKind::SeveralValues,
             std::string("[") + section +
                 "] holds more than one value, and only the last one counts: "
                 "quote a text with spaces");
    }
    if (kind == Values::MessageLines && count > 1 && line == previousLine && line != reportedLine) {
      Report(current.begin, FindingKind::SeveralValues,
             "several values on one line become separate message lines: quote the line");
      reportedLine = line;
    }
    if (kind == Values::DriveInfo && count == 2) {
      Report(current.begin, FindingKind::SeveralValues,
             "only the first DRIVEINFO value is the drive prompt: quote a prompt with spaces");
    }
    take(current.text);
    previousLine = line;
  }
}

bool Linter::ReadEntries(const char* section, std::vector<FileEntry>& entries) {
  std::map<std::string, std::uint32_t> firstListed;
  for (Next(); !IsSectionEnd(current.code); Next()) {
    const ScannedToken name = current;
    FileEntry entry;
    if (!ReadEntry(name, entry)) return false;
    const auto listed = firstListed.emplace(entry.name, name.begin);
    if (!listed.second) {
      Report(name.begin, FindingKind::DuplicateEntry,
             Quoted(entry.name) + " is listed twice in [" + section + "], first at " +
                 lineIndex.PositionOf(listed.first->second));
    }
    entries.push_back(entry);
    if (&entries != &reading.regFiles) {
      discFiles.push_back({name.begin, &entries == &reading.gameDataFiles, entry});
    }
  }
  return true;
}

// An entry is name "," size "," crc, read as the loader reads it; the name is current.
bool Linter::ReadEntry(const ScannedToken& name, FileEntry& entry) {
  CheckValueToken();
  entry.name = name.text;
  Next();
  if (current.code == TokenCode::End) {
    return Fail("the file ends inside the entry " + Quoted(name.text));
  }
  if (current.code != TokenCode::Comma) {
    // Two texts apart on one line are most likely one name with a space.
    const bool spaced = IsValueText(name.code) && IsValueText(current.code) &&
                        current.begin > name.end &&
                        lineIndex.LineOf(current.begin) == lineIndex.LineOf(name.begin);
    return Fail("expected \",\" after the name " + Quoted(name.text) + ", found " +
                Shown(current) + (spaced ? "; a name with spaces must be quoted" : ""));
  }
  Next();
  if (current.code == TokenCode::End) {
    return Fail("the file ends where the size of " + Quoted(name.text) + " should stand");
  }
  CheckValueToken();
  CheckSize(current);
  entry.size = CheckList::ReadSize(current.text);
  Next();
  if (current.code != TokenCode::Comma) {
    return Fail("expected \",\" after the size of " + Quoted(name.text) +
                (current.code == TokenCode::End ? ", found the end of the file"
                                                : ", found " + Shown(current)));
  }
  Next();
  if (current.code == TokenCode::End) {
    return Fail("the file ends where the crc of " + Quoted(name.text) + " should stand");
  }
  CheckValueToken();
  if (!CheckList::ReadCrc(current.text, entry.crc)) {
    return Fail("the crc " + Quoted(current.text) + " of " + Quoted(name.text) +
                " has no hexadecimal digit");
  }
  CheckCrc(current, entry.crc);
  return true;
}

// A 0xFF byte that cut the file short has told already where the load fails.
bool Linter::Fail(const std::string& what) {
  if (!scanner.CutShort()) Report(current.begin, FindingKind::LoadFails, what + kFailsHere);
  return false;
}

void Linter::CheckValueToken() {
  if (!IsPunctuationValue(current.code)) return;
  Report(
      current.begin, FindingKind::PunctuationValue,
      Quoted(Bytes(current)) + " is no text of its own: it stands for " +
          (current.text.empty() ? "an empty text" : "the text before it, " + Quoted(current.text)));
}

void Linter::CheckSize(const ScannedToken& token) {
  if (!IsValueText(token.code) || IsPlainSize(token.text)) return;
  Report(token.begin, FindingKind::SizeNotDecimal,
         "the size " + Quoted(token.text) +
             " is not plain decimal digits below 4 GiB: it reads as " +
             std::to_string(static_cast<std::uint32_t>(CheckList::ReadSize(token.text))));
}

void Linter::CheckCrc(const ScannedToken& token, std::uint32_t crc) {
  if (!IsValueText(token.code) || IsPlainCrc(token.text)) return;
  Report(token.begin, FindingKind::CrcNotHex,
         "the crc " + Quoted(token.text) + " is not 1 to 8 hexadecimal digits: it reads as " +
             Hex(crc, 8));
}

// What the program needs of a list that loads.
void Linter::CheckWholeFile() {
  if (reading.driveInfo.empty()) {
    Report(Finding::kWholeFile, FindingKind::NoDriveInfo,
           "no DRIVEINFO value: Disksentry's disc check stops with an error before any file");
  }
  if (reading.title.empty()) {
    Report(Finding::kWholeFile, FindingKind::NoTitle,
           "no TITLE: Disksentry's dialogs and message boxes get an empty caption");
  }
  if (!reading.regFiles.empty() && reading.gameKey.empty()) {
    Report(Finding::kWholeFile, FindingKind::RegWithoutGame,
           "REG entries but no GAME key: the installed files can never be checked");
  }
}

void Linter::Report(std::uint32_t offset, FindingKind kind, const std::string& message) {
  findings.push_back({offset, kind, message});
}

std::string Linter::Bytes(const ScannedToken& token) const {
  return bytes.substr(token.begin, token.end - token.begin);
}

// An invalid token by its byte: an unclosed quote spans the rest of the file.
std::string Linter::Shown(const ScannedToken& token) const {
  if (token.code == TokenCode::Invalid) {
    return ByteName(static_cast<std::uint8_t>(bytes[token.begin]));
  }
  return Quoted(Bytes(token));
}
