#include "checklist/CheckListLoader.h"

namespace {

constexpr int kMaxUnknownHeaders = 1000;

bool IsSectionEnd(TokenCode code) { return code == TokenCode::LeftBracket || code == TokenCode::End; }

}  // namespace

CheckListLoader::CheckListLoader(InfTokenizer& reader, CheckList& target, LoadObserver& watcher)
    : tokenizer(reader), list(target), observer(watcher) {}

bool CheckListLoader::Load() {
  int unknownHeaders = 0;
  Next();
  for (;;) {
    const TokenCode code = tokenizer.Current().code;
    if (code == TokenCode::End) break;
    if (code != TokenCode::LeftBracket) {
      // Anything outside a section is skipped up to the next header.
      observer.OutsideSection(tokenizer.Place());
      SkipValues();
      continue;
    }
    if (!ReadSection(unknownHeaders)) return false;
  }
  return !tokenizer.CutShort() || Fail(LoadFailure::CutShort, Token());
}

Token CheckListLoader::Next() {
  const Token token = tokenizer.Next();
  observer.TokenRead(token, tokenizer.Place());
  return token;
}

// Reads one section from its "["; the tokenizer is left on the token that ended it.
bool CheckListLoader::ReadSection(int& unknownHeaders) {
  const Token name = Next();
  switch (name.code) {
    case TokenCode::KwTitle:
    case TokenCode::KwGame:
    case TokenCode::KwReg:
    case TokenCode::KwCdFiles:
    case TokenCode::KwGameData:
    case TokenCode::KwMessage:
    case TokenCode::KwDriveInfo:
      break;
    default:
      if (name.code != TokenCode::End && ++unknownHeaders > kMaxUnknownHeaders) {
        return Fail(LoadFailure::TooManyUnknownSections, name);
      }
      observer.UnknownSection(name, tokenizer.Place());
      // "[" as a name opens the next header itself; any other body is skipped.
      if (!IsSectionEnd(name.code)) SkipValues();
      return true;
  }
  if (Next().code != TokenCode::RightBracket) return Fail(LoadFailure::NoClosingBracket, name);
  observer.SectionStarted(name.code);
  switch (name.code) {
    case TokenCode::KwTitle:
      ReadValues(name.code, [this](const std::string& text) { list.title = text; });
      return true;
    case TokenCode::KwGame:
      ReadValues(name.code, [this](const std::string& text) { list.gameKey = text; });
      return true;
    case TokenCode::KwMessage:
      ReadValues(name.code, [this](const std::string& text) { list.messageLines.push_back(text); });
      return true;
    case TokenCode::KwDriveInfo:
      ReadValues(name.code, [this](const std::string& text) { list.driveInfo.push_back(text); });
      return true;
    case TokenCode::KwReg:
      return ReadEntries(name.code, list.regFiles);
    case TokenCode::KwCdFiles:
      return ReadEntries(name.code, list.cdFiles);
    default:
      return ReadEntries(name.code, list.gameDataFiles);
  }
}

// Reads tokens up to the next "[" or the end, handing each other token's text to take.
template <typename Take>
void CheckListLoader::ReadValues(TokenCode section, Take take) {
  for (Token token = Next(); !IsSectionEnd(token.code); token = Next()) {
    observer.ValueRead(section, token, tokenizer.Place());
    take(token.text);
  }
}

void CheckListLoader::SkipValues() {
  for (Token token = Next(); !IsSectionEnd(token.code); token = Next()) {
  }
}

bool CheckListLoader::ReadEntries(TokenCode section, std::vector<FileEntry>& entries) {
  for (Token name = Next(); !IsSectionEnd(name.code); name = Next()) {
    FileEntry entry;
    if (!ReadEntry(name, entry)) return false;
    entries.push_back(entry);
    observer.EntryRead(section, entry);
  }
  return true;
}

// An entry is name "," size "," crc. An end of the input where the size or crc should stand
// fails: a 0xFF byte there ends the input, and scanning must not go on behind it.
bool CheckListLoader::ReadEntry(const Token& name, FileEntry& entry) {
  observer.FieldRead(EntryField::Name, name, tokenizer.Place());
  entry.name = name.text;
  if (Next().code != TokenCode::Comma) return Fail(LoadFailure::NoCommaAfterName, name);
  const Token size = Next();
  if (size.code == TokenCode::End) return Fail(LoadFailure::NoSize, name);
  observer.FieldRead(EntryField::Size, size, tokenizer.Place());
  entry.size = CheckList::ReadSize(size.text);
  if (Next().code != TokenCode::Comma) return Fail(LoadFailure::NoCommaAfterSize, name);
  const Token crc = Next();
  if (crc.code == TokenCode::End) return Fail(LoadFailure::NoCrc, name);
  observer.FieldRead(EntryField::Crc, crc, tokenizer.Place());
  return CheckList::ReadCrc(crc.text, entry.crc) || Fail(LoadFailure::CrcNotHex, name);
}

bool CheckListLoader::Fail(LoadFailure failure, const Token& subject) {
  observer.LoadFailed(failure, subject, tokenizer.Current(), tokenizer.Place());
  return false;
}
