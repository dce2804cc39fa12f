#pragma once

#include <cstdint>
#include <functional>

enum class VerificationResult { Intact, OpenFailed, SizeDiffers, CrcDiffers, Stopped };

// What a verification reports while it reads.
struct VerificationProgress {
  // Called after bytes 0, 4096, 8192 ...; false stops the verification.
  std::function<bool()> boundaryReached;
  // A bar value, given only once at least a hundredth of the file was read since the last one.
  std::function<void(int percent)> setPercent;
};

class BufferedFileReader;

// Verifies the file at path (up to its first NUL) against its expected size and CRC-32. A file
// of another size is not read at all.
VerificationResult VerifyFileContents(const char* path, std::int32_t expectedSize,
                                      std::uint32_t expectedCrc, const VerificationProgress& progress);

// The same for a file already open in reader; expectedSize is compared with its size at opening.
VerificationResult VerifyOpenedFile(BufferedFileReader& reader, std::int32_t expectedSize,
                                    std::uint32_t expectedCrc, const VerificationProgress& progress);
