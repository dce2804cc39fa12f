#pragma once

#include <cstdint>
#include <functional>
#include <string>

enum class VerificationResult { Intact, OpenFailed, SizeDiffers, CrcDiffers, Stopped };

// What the verification of one file found.
struct VerificationOutcome {
  VerificationResult result = VerificationResult::Stopped;
  std::uint64_t bytesRead = 0;
  std::uint32_t crc = 0;  // of the bytes read, when read to the end or to a failed read
  // A read failed after bytesRead bytes; the bytes before it decided the result.
  bool readFailed = false;
  std::string reason;  // why the open or the read failed, in the system's words
};

// What a verification reports while it reads.
struct VerificationProgress {
  // Called after bytes 0, 4096, 8192 ...; false stops the verification.
  std::function<bool()> boundaryReached;
  // A bar value, given only once at least a hundredth of the file was read since the last one.
  std::function<void(int percent)> setPercent;
};

class ByteSource;

// Verifies the file at path (up to its first NUL) against its expected size and CRC-32, through
// the program's buffered reader. A file of another size is not read at all; any other is read to
// its end, whatever its size was when opened.
VerificationOutcome VerifyFileContents(const char* path, std::int32_t expectedSize,
                                       std::uint32_t expectedCrc,
                                       const VerificationProgress& progress);

class BufferedFileReader;

// The same for a file already open in reader; expectedSize is compared with its size at opening.
VerificationOutcome VerifyOpenedFile(BufferedFileReader& reader, std::int32_t expectedSize,
                                     std::uint32_t expectedCrc,
                                     const VerificationProgress& progress);

// The same for bytes from elsewhere; fileSize is the file's size when opened, low 32 bits.
VerificationOutcome VerifyBytes(ByteSource& source, std::uint32_t fileSize,
                                std::int32_t expectedSize, std::uint32_t expectedCrc,
                                const VerificationProgress& progress);
