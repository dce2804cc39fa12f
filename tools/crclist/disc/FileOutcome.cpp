#include "disc/FileOutcome.h"

FileOutcome FileOutcome::Of(const VerificationOutcome& verified, std::uint32_t sizeAtOpen,
                            std::uint32_t listedCrc) {
  FileOutcome outcome;
  outcome.bytesRead = verified.bytesRead;
  outcome.reason = verified.reason;
  if (verified.result == VerificationResult::OpenFailed) {
    outcome.status = FileStatus::Missing;
    return outcome;
  }
  outcome.foundSize = sizeAtOpen;
  if (verified.result == VerificationResult::SizeDiffers) {
    outcome.status = FileStatus::SizeDiffers;
  } else if (verified.readFailed) {
    outcome.status = FileStatus::Unreadable;
    outcome.failedAt = verified.bytesRead;
  } else if (verified.result != VerificationResult::Stopped) {
    outcome.foundCrc = verified.crc;
    outcome.status = verified.crc == listedCrc ? FileStatus::Intact : FileStatus::CrcDiffers;
  }
  return outcome;
}
