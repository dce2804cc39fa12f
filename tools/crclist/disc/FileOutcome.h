#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "verify/FileVerification.h"

// Ambiguous: the disc holds files whose names differ only in case, which Windows takes for one.
// Refused: crclist reads nothing there (a name that leads out of the disc, what is no file).
enum class FileStatus {
  Intact, Missing, SizeDiffers, CrcDiffers, Unreadable, NotReached, Ambiguous, Refused };

// What verifying one listed file found.
struct FileOutcome {
  FileStatus status = FileStatus::NotReached;
  std::optional<std::uint64_t> foundSize;
  std::optional<std::uint32_t> foundCrc;  // only for a file read to its end
  std::uint64_t bytesRead = 0;
  std::uint64_t failedAt = 0;  // where an unreadable file's read failed
  std::string reason;          // the system's reason for a missing or unreadable file, UTF-8
  double seconds = 0;

  // What the verification found of a file of that size when opened, listed with that CRC-32.
  static FileOutcome Of(const VerificationOutcome& verified, std::uint32_t sizeAtOpen,
                        std::uint32_t listedCrc);
};
