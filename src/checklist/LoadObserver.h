#pragma once

#include "checklist/FileEntry.h"
#include "checklist/Token.h"

// Why a load fails.
enum class LoadFailure {
  Unreadable,              // the file cannot be read, or is empty
  NoClosingBracket,        // a section name without "]" after it
  NoCommaAfterName,        // also the end of the input after an entry's name
  NoSize,                  // the end of the input where an entry's size should stand
  NoCommaAfterSize,
  NoCrc,                   // the end of the input where an entry's crc should stand
  CrcNotHex,
  TooManyUnknownSections,
  CutShort,                // a 0xFF byte with more than padding behind it ended the input
};

enum class EntryField { Name, Size, Crc };

// What the loader makes of a list as it reads it, for the tools that check lists; the program
// observes nothing. Places are those of the tokenizer.
class LoadObserver {
 public:
  virtual ~LoadObserver() = default;

  // Every token, as the tokenizer hands it on.
  virtual void TokenRead(const Token&, const TokenPlace&) {}
  // A token outside any section, skipped with what follows up to the next "[".
  virtual void OutsideSection(const TokenPlace&) {}
  // A header whose name is no section, skipped up to the next "["; its name may be End or "[".
  virtual void UnknownSection(const Token&, const TokenPlace&) {}
  // A known section's "]": its body follows.
  virtual void SectionStarted(TokenCode) {}
  // A value of a TITLE, GAME, MESSAGE or DRIVEINFO body.
  virtual void ValueRead(TokenCode, const Token&, const TokenPlace&) {}
  // An entry's name, size or crc token, before it is read.
  virtual void FieldRead(EntryField, const Token&, const TokenPlace&) {}
  // A whole entry, appended to its section's list.
  virtual void EntryRead(TokenCode, const FileEntry&) {}
  // The load fails at the current token; subject is the section or entry name it concerns.
  virtual void LoadFailed(LoadFailure, const Token& /*subject*/, const Token& /*current*/,
                          const TokenPlace&) {}
};
