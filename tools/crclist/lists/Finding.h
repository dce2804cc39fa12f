#pragma once

#include <cstdint>
#include <string>

// What lint can find in a check list; each kind has the tag that its report line ends with.
enum class FindingKind {
  InvalidByte,
  StrayByte,
  Utf8Text,
  DroppedWord,
  UnclosedQuote,
  QuoteOverLines,
  OutsideSection,
  UnknownSection,
  LoadFails,
  PunctuationValue,
  SeveralValues,
  SizeNotDecimal,
  CrcNotHex,
  DuplicateEntry,
  CaseDuplicate,
  LeavesDisc,
  PathTooLong,
  NoDriveInfo,
  NoTitle,
  RegWithoutGame,
  MissingFile,
  ShortenedName,
  SizeDiffers,
  CaseOnlyMatch,
  UnlistedFile,
  UnlistableName,
  CaseTwins,
  TreesDiffer,
  OemNames,
  UnreadableSector,
};

struct Finding {
  static constexpr std::uint32_t kWholeFile = 0xFFFFFFFFu;

  std::uint32_t offset;  // of the byte it is about, or kWholeFile
  FindingKind kind;
  std::string message;  // UTF-8

  static const char* TagOf(FindingKind kind);
  // Whether the finding changes which files a verification reads or how it reads them, rather
  // than only the texts the program shows or what a verification finds for itself.
  static bool ChangesVerification(FindingKind kind);
};
