#include "verify/FileVerification.h"

#include "checklist/BufferedFileReader.h"
#include "verify/ByteSource.h"
#include "verify/Crc32.h"

namespace {

constexpr std::uint64_t kBoundary = 4096;

// The program's reader, which hands out whole buffers.
class ReaderSource : public ByteSource {
 public:
  explicit ReaderSource(BufferedFileReader& opened) : reader(opened) {}

  bool Read(ByteSpan& bytes, std::string& reason) override {
    bytes = reader.ReadSpan(UINT32_MAX);
    if (bytes.size != 0 || !reader.ReadFailed()) return true;
    reason = reader.FailureReason();
    return false;
  }

 private:
  BufferedFileReader& reader;
};

}  // namespace

VerificationOutcome VerifyFileContents(const char* path, std::int32_t expectedSize,
                                       std::uint32_t expectedCrc,
                                       const VerificationProgress& progress) {
  BufferedFileReader reader;
  if (!reader.Open(path)) {
    VerificationOutcome outcome;
    outcome.result = VerificationResult::OpenFailed;
    outcome.reason = platform::LastErrorText();
    return outcome;
  }
  return VerifyOpenedFile(reader, expectedSize, expectedCrc, progress);
}

VerificationOutcome VerifyOpenedFile(BufferedFileReader& reader, std::int32_t expectedSize,
                                     std::uint32_t expectedCrc,
                                     const VerificationProgress& progress) {
  ReaderSource source(reader);
  return VerifyBytes(source, reader.fileSize, expectedSize, expectedCrc, progress);
}

VerificationOutcome VerifyBytes(ByteSource& source, std::uint32_t fileSize,
                                std::int32_t expectedSize, std::uint32_t expectedCrc,
                                const VerificationProgress& progress) {
  VerificationOutcome outcome;
  if (fileSize != static_cast<std::uint32_t>(expectedSize)) {
    outcome.result = VerificationResult::SizeDiffers;
    return outcome;
  }
  std::uint32_t crc = 0xFFFFFFFFu;
  std::uint64_t& index = outcome.bytesRead;
  std::uint64_t barMovedAt = 0;
  ByteSpan span{nullptr, 0};
  // The CRC takes all bytes of a block at once; the boundaries among them are then reported in
  // order. Nothing outside sees the difference: a stop discards the CRC, and no byte is read
  // that the source had not read already.
  for (;;) {
    if (!source.Read(span, outcome.reason)) {
      outcome.readFailed = true;
      break;
    }
    if (span.size == 0) break;
    crc = Crc32::Update(crc, span.data, span.size);
    const std::uint64_t end = index + span.size;
    for (std::uint64_t boundary = (index + kBoundary - 1) / kBoundary * kBoundary; boundary < end;
         boundary += kBoundary) {
      // A file that was empty when opened but grew has no size to take a share of.
      if (fileSize != 0 && (boundary - barMovedAt) * 100 / fileSize >= 1) {
        progress.setPercent(static_cast<int>(boundary * 100 / fileSize));
        barMovedAt = boundary;
      }
      if (!progress.boundaryReached()) {
        outcome.result = VerificationResult::Stopped;
        return outcome;
      }
    }
    index = end;
  }
  outcome.crc = ~crc;
  outcome.result =
      outcome.crc == expectedCrc ? VerificationResult::Intact : VerificationResult::CrcDiffers;
  return outcome;
}
