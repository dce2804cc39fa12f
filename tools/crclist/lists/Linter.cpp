#include "lists/Linter.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "checklist/InfBytes.h"
#include "disc/listing/DiscListing.h"
#include "lists/InvalidTokenLog.h"
#include "lists/Paths.h"
#include "lists/Text.h"
#include "platform/Platform.h"

namespace {

// MAX_PATH less the drive's "E:\" and the terminating NUL.
constexpr std::size_t kLongestPathFromRoot = 256;
const char kFailsHere[] = ": the load fails here, and Disksentry reads nothing after it";

std::string Quoted(const std::string& cp932) { return "\"" + platform::Cp932ToUtf8(cp932) + "\""; }

std::string ByteName(std::uint8_t byte) {
  if (byte > 0x20 && byte < 0x7F) return "\"" + std::string(1, static_cast<char>(byte)) + "\"";
  return "byte " + text::Hex(byte, 2);
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

std::string Upper(std::string text) {
  for (char& letter : text) {
    letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
  }
  return text;
}

// Letters to insert, delete or replace to turn one text into the other.
std::size_t EditDistance(const std::string& a, const std::string& b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t replaced = diagonal + (a[i - 1] == b[j - 1] ? 0 : 1);
      diagonal = row[j];
      row[j] = std::min({replaced, row[j] + 1, row[j - 1] + 1});
    }
  }
  return row[b.size()];
}

// What an unknown section name was most likely meant to be: the section it names in another
// case, or the one it misses by at most two letters.
std::string MeantSection(const std::string& name) {
  const std::string upper = Upper(name);
  std::string nearest;
  std::size_t nearestDistance = 3;
  for (const inf::Section& known : inf::kSections) {
    const std::string section = known.name;
    if (upper == section) return "; section names are case-sensitive: write \"" + upper + "\"";
    const std::size_t distance = EditDistance(upper, section);
    if (distance < nearestDistance) {
      nearest = section;
      nearestDistance = distance;
    }
  }
  if (nearest.empty()) return "";
  return "; did you mean \"" + nearest + "\"?";
}

// The offset of the first character of a file that is UTF-8 text with characters of three bytes
// or more (Japanese among them); kWholeFile when it is not.
std::uint32_t Utf8TextStart(const std::string& bytes) {
  std::uint32_t first = Finding::kWholeFile;
  bool wide = false;
  for (std::size_t i = 0; i < bytes.size();) {
    const std::size_t start = i;
    const char32_t c = text::NextCharacter(bytes, i);
    if (c == text::kNotUtf8) return Finding::kWholeFile;
    if (c < 0x80) continue;
    if (first == Finding::kWholeFile) first = static_cast<std::uint32_t>(start);
    wide = wide || c >= 0x800;
  }
  return wide ? first : Finding::kWholeFile;
}

}  // namespace

Linter::Linter(std::string fileBytes) : bytes(std::move(fileBytes)), lineIndex(bytes) {
  const std::uint32_t utf8 = Utf8TextStart(bytes);
  if (utf8 != Finding::kWholeFile) {
    Report(utf8, FindingKind::Utf8Text,
           "the file is UTF-8 text, but Disksentry reads CP932: its Japanese comes out garbled; "
           "save it as CP932 (Shift_JIS) without a byte-order mark");
  }
  // The invalid tokens are findings here, not boxes.
  const InvalidTokenLog boxes;
  loads = reading.LoadBytes(bytes, this);
  if (loads) CheckWholeFile();
}

const std::vector<Finding>& Linter::Findings() const { return findings; }

const CheckList& Linter::Reading() const { return reading; }

bool Linter::Loads() const { return loads; }

const std::vector<ListedFile>& Linter::DiscFiles() const { return discFiles; }

const LineIndex& Linter::Lines() const { return lineIndex; }

// What the program shows or loses on the way through a token.
void Linter::TokenRead(const Token& token, const TokenPlace& place) {
  if (place.strayPair != TokenPlace::kNone) {
    const auto lead = static_cast<std::uint8_t>(bytes[place.strayPair]);
    Report(place.strayPair, FindingKind::StrayByte,
           "byte " + text::Hex(lead, 2) +
               " and the byte after it are no CP932 character, yet the reader takes them as one");
  }
  const bool quoted = token.code == TokenCode::SingleQuoted || token.code == TokenCode::DoubleQuoted;
  if (quoted && token.text.find_first_of("\r\n") != std::string::npos) {
    Report(place.begin, FindingKind::QuoteOverLines,
           "the quoted text runs on to line " + std::to_string(lineIndex.LineOf(place.end - 1)) +
               ": is a closing quote missing?");
  }
  if (token.code == TokenCode::LeftBracket) lastBracket = place.begin;
  if (token.code == TokenCode::Invalid) ReportInvalid(token, place);
  if (token.code == TokenCode::End) ReportEnd(place);
  // Padding may follow a 0xFF byte; anything else means the list was not read whole.
  if (place.cutShort && !cutShown) {
    cutShown = true;
    Report(place.stopByte, FindingKind::LoadFails,
           "byte 0xFF ends the input, yet more than 0xFF bytes and white space follow it" +
               std::string(kFailsHere));
  }
}

void Linter::ReportInvalid(const Token& token, const TokenPlace& place) {
  if (place.unclosed) {
    Report(place.begin, FindingKind::UnclosedQuote,
           place.stopByte == TokenPlace::kNone
               ? "the quote opened here never closes: the rest of the file is one invalid token"
               : "the quote opened here is cut by the 0xFF byte at " +
                     lineIndex.PositionOf(place.stopByte) +
                     ": everything up to it is one invalid token");
    return;
  }
  const auto byte = static_cast<std::uint8_t>(bytes[place.begin]);
  std::string what = ByteName(byte) + " cannot stand outside quotes";
  if (byte >= 0xA1 && byte <= 0xDF) {
    what = "half-width katakana " + Quoted(token.text) + " cannot stand in a word";
  }
  if (byte == '.' || byte == '\\') what = ByteName(byte) + " cannot start a word";
  if (byte == '!') what = "\"!\" without \"=\" after it is no token";
  Report(place.begin, FindingKind::InvalidByte,
         what +
             ": Disksentry shows an error box for it and reads it as a value of its own; quote "
             "the text that holds it");
}

void Linter::ReportEnd(const TokenPlace& place) {
  if (!place.droppedWord) return;
  const std::string word = Bytes(place);
  Report(place.begin, FindingKind::DroppedWord,
         place.stopByte == TokenPlace::kNone
             ? "the last word " + Quoted(word) +
                   " runs into the end of the file and is dropped: end the file with a line end"
             : "the word " + Quoted(word) + " runs into a 0xFF byte and is dropped");
}

void Linter::OutsideSection(const TokenPlace& place) {
  Report(place.begin, FindingKind::OutsideSection,
         "this stands outside any section and is skipped up to the next \"[\"");
}

void Linter::UnknownSection(const Token& name, const TokenPlace& place) {
  if (name.code == TokenCode::End) {
    // The "[" before the end.
    Report(lastBracket, FindingKind::UnknownSection,
           "\"[\" opens no section before the end of the file");
    return;
  }
  if (name.code == TokenCode::LeftBracket) {
    Report(place.begin, FindingKind::UnknownSection, "\"[\" stands where a section name should");
    return;
  }
  const std::string meant = MeantSection(name.text);
  Report(place.begin, FindingKind::UnknownSection,
         "unknown section " + Quoted(Bytes(place)) +
             ": its body is skipped up to the next \"[\"" +
             (meant.empty() ? "; a \"[\" inside a text starts a section, so quote such a text"
                            : meant));
}

void Linter::SectionStarted(TokenCode) {
  valueCount = 0;
  previousLine = 0;
  reportedLine = 0;
  firstListed.clear();
}

void Linter::ValueRead(TokenCode section, const Token& value, const TokenPlace& place) {
  CheckValueToken(value, place);
  ++valueCount;
  const std::uint32_t line = lineIndex.LineOf(place.begin);
  const bool single = section == TokenCode::KwTitle || section == TokenCode::KwGame;
  if (single && valueCount == 2) {
    Report(place.begin, FindingKind::SeveralValues,
           std::string("[") + inf::SectionName(section) +
               "] holds more than one value, and only the last one counts: "
               "quote a text with spaces");
  }
  if (section == TokenCode::KwMessage && valueCount > 1 && line == previousLine &&
      line != reportedLine) {
    Report(place.begin, FindingKind::SeveralValues,
           "several values on one line become separate message lines: quote the line");
    reportedLine = line;
  }
  if (section == TokenCode::KwDriveInfo && valueCount == 2) {
    Report(place.begin, FindingKind::SeveralValues,
           "only the first DRIVEINFO value is the drive prompt: quote a prompt with spaces");
  }
  previousLine = line;
}

void Linter::FieldRead(EntryField field, const Token& token, const TokenPlace& place) {
  CheckValueToken(token, place);
  switch (field) {
    case EntryField::Name:
      entryName = token;
      entryNamePlace = place;
      break;
    case EntryField::Size:
      CheckSize(token, place);
      break;
    case EntryField::Crc:
      CheckCrc(token, place);
      break;
  }
}

void Linter::EntryRead(TokenCode section, const FileEntry& entry) {
  const std::uint32_t offset = entryNamePlace.begin;
  const auto listed = firstListed.emplace(entry.name, offset);
  if (!listed.second) {
    Report(offset, FindingKind::DuplicateEntry,
           Quoted(entry.name) + " is listed twice in [" + inf::SectionName(section) +
               "], first at " + lineIndex.PositionOf(listed.first->second));
  }
  if (section == TokenCode::KwReg) return;
  discFiles.push_back({section, DiscPath(section, entry.name), entry, offset});
  CheckDiscName(discFiles.back());
}

// A 0xFF byte that cut the file short has told already where the load fails.
void Linter::LoadFailed(LoadFailure failure, const Token& subject, const Token& current,
                        const TokenPlace& place) {
  if (cutShown) return;
  // Bytes in memory fail to open only when there are none.
  if (failure == LoadFailure::Unreadable) {
    Report(Finding::kWholeFile, FindingKind::LoadFails, list_file::kEmptyList);
    return;
  }
  Report(place.begin, FindingKind::LoadFails,
         FailureText(failure, subject, current, place) + kFailsHere);
}

std::string Linter::FailureText(LoadFailure failure, const Token& subject, const Token& current,
                                const TokenPlace& place) const {
  const std::string name = Quoted(subject.text);
  switch (failure) {
    case LoadFailure::NoClosingBracket:
      return "expected \"]\" after the section name " + name;
    case LoadFailure::NoCommaAfterName: {
      if (current.code == TokenCode::End) return "the file ends inside the entry " + name;
      // Two texts apart on one line are most likely one name with a space.
      const bool spaced = IsValueText(subject.code) && IsValueText(current.code) &&
                          place.begin > entryNamePlace.end &&
                          lineIndex.LineOf(place.begin) == lineIndex.LineOf(entryNamePlace.begin);
      return "expected \",\" after the name " + name + ", found " + Shown(current, place) +
             (spaced ? "; a name with spaces must be quoted" : "");
    }
    case LoadFailure::NoSize:
      return "the file ends where the size of " + name + " should stand";
    case LoadFailure::NoCommaAfterSize:
      return "expected \",\" after the size of " + name +
             (current.code == TokenCode::End ? ", found the end of the file"
                                             : ", found " + Shown(current, place));
    case LoadFailure::NoCrc:
      return "the file ends where the crc of " + name + " should stand";
    case LoadFailure::CrcNotHex:
      return "the crc " + Quoted(current.text) + " of " + name + " has no hexadecimal digit";
    case LoadFailure::TooManyUnknownSections:
      return "more than 1000 unknown sections";
    default:
      return "the list is not read whole";
  }
}

// What a player's Windows makes of the name: where it leads, whether it opens, which file it is.
void Linter::CheckDiscName(const ListedFile& file) {
  const std::string& path = file.path;
  if (paths::LeavesDisc(file.entry.name)) {
    Report(file.offset, FindingKind::LeavesDisc,
           Quoted(file.entry.name) +
               (paths::ClimbsOut(file.entry.name) ? " climbs out of the disc with \"..\""
                                                  : " is an absolute path") +
               ": Disksentry reads a file outside the disc, and crclist verify refuses it");
  }
  const std::size_t characters = paths::CharactersOf(path);
  if (characters > kLongestPathFromRoot) {
    Report(file.offset, FindingKind::PathTooLong,
           Quoted(path) + " has " + std::to_string(characters) +
               " characters, and Windows opens at most " + std::to_string(kLongestPathFromRoot) +
               " after a drive's root such as \"E:\\\"");
  }
  const auto folded =
      firstFolded.emplace(DiscListing::Folded(path), std::make_pair(path, file.offset));
  if (!folded.second && folded.first->second.first != path) {
    Report(file.offset, FindingKind::CaseDuplicate,
           Quoted(path) + " differs only in letter case from " +
               Quoted(folded.first->second.first) + " at " +
               lineIndex.PositionOf(folded.first->second.second) +
               ": Windows and CD file systems take both for one file");
  }
}

void Linter::CheckValueToken(const Token& token, const TokenPlace& place) {
  if (!IsPunctuationValue(token.code)) return;
  Report(place.begin, FindingKind::PunctuationValue,
         Quoted(Bytes(place)) + " is no text of its own: it stands for " +
             (token.text.empty() ? "an empty text" : "the text before it, " + Quoted(token.text)));
}

void Linter::CheckSize(const Token& token, const TokenPlace& place) {
  if (!IsValueText(token.code) || IsPlainSize(token.text)) return;
  Report(place.begin, FindingKind::SizeNotDecimal,
         "the size " + Quoted(token.text) +
             " is not plain decimal digits below 4 GiB: it reads as " +
             std::to_string(static_cast<std::uint32_t>(CheckList::ReadSize(token.text))));
}

void Linter::CheckCrc(const Token& token, const TokenPlace& place) {
  std::uint32_t crc = 0;
  if (!IsValueText(token.code) || IsPlainCrc(token.text) || !CheckList::ReadCrc(token.text, crc)) {
    return;
  }
  Report(place.begin, FindingKind::CrcNotHex,
         "the crc " + Quoted(token.text) + " is not 1 to 8 hexadecimal digits: it reads as " +
             text::Hex(crc, 8));
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

std::string Linter::Bytes(const TokenPlace& place) const {
  return bytes.substr(place.begin, place.end - place.begin);
}

// An invalid token by its byte: an unclosed quote spans the rest of the file.
std::string Linter::Shown(const Token& token, const TokenPlace& place) const {
  if (token.code == TokenCode::Invalid) {
    return ByteName(static_cast<std::uint8_t>(bytes[place.begin]));
  }
  return Quoted(Bytes(place));
}
