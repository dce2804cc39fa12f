#include "lists/Finding.h"

const char* Finding::TagOf(FindingKind kind) {
  switch (kind) {
    case FindingKind::InvalidByte: return "invalid-byte";
    case FindingKind::StrayByte: return "stray-byte";
    case FindingKind::Utf8Text: return "utf8-text";
    case FindingKind::DroppedWord: return "dropped-word";
    case FindingKind::UnclosedQuote: return "unclosed-quote";
    case FindingKind::QuoteOverLines: return "quote-over-lines";
    case FindingKind::OutsideSection: return "outside-section";
    case FindingKind::UnknownSection: return "unknown-section";
    case FindingKind::LoadFails: return "load-fails";
    case FindingKind::PunctuationValue: return "punctuation-value";
    case FindingKind::SeveralValues: return "several-values";
    case FindingKind::SizeNotDecimal: return "size-not-decimal";
    case FindingKind::CrcNotHex: return "crc-not-hex";
    case FindingKind::DuplicateEntry: return "duplicate-entry";
    case FindingKind::CaseDuplicate: return "case-duplicate";
    case FindingKind::LeavesDisc: return "leaves-disc";
    case FindingKind::PathTooLong: return "path-too-long";
    case FindingKind::NoDriveInfo: return "no-driveinfo";
    case FindingKind::NoTitle: return "no-title";
    case FindingKind::RegWithoutGame: return "reg-without-game";
    case FindingKind::MissingFile: return "missing-file";
    case FindingKind::ShortenedName: return "shortened-name";
    case FindingKind::SizeDiffers: return "size-differs";
    case FindingKind::CaseOnlyMatch: return "case-only-match";
    case FindingKind::UnlistedFile: return "unlisted-file";
    case FindingKind::UnlistableName: return "unlistable-name";
    case FindingKind::CaseTwins: return "case-twins";
    case FindingKind::TreesDiffer: return "trees-differ";
    case FindingKind::OemNames: return "oem-names";
    case FindingKind::UnreadableSector: return "unreadable-sector";
  }
  return "";
}

bool Finding::ChangesVerification(FindingKind kind) {
  switch (kind) {
    case FindingKind::SeveralValues:
    case FindingKind::NoDriveInfo:
    case FindingKind::NoTitle:
    case FindingKind::RegWithoutGame:
    case FindingKind::MissingFile:
    case FindingKind::SizeDiffers:
    case FindingKind::TreesDiffer:
    case FindingKind::OemNames:
    case FindingKind::UnreadableSector: return false;
    default: return true;
  }
}
