#include "verify/FileVerification.h"

#include "checklist/BufferedFileReader.h"
#include "verify/Crc32.h"

namespace {

constexpr std::uint32_t kBoundary = 4096;

}  // namespace

VerificationResult VerifyFileContents(const char* path, std::int32_t expectedSize,
                                      std::uint32_t expectedCrc, const VerificationProgress& progress) {
  BufferedFileReader reader;
  if (!reader.Open(path)) return VerificationResult::OpenFailed;
  return VerifyOpenedFile(reader, expectedSize, expectedCrc, progress);
}

VerificationResult VerifyOpenedFile(BufferedFileReader& reader, std::int32_t expectedSize,
                                    std::uint32_t expectedCrc, const VerificationProgress& progress) {
  if (reader.fileSize != static_cast<std::uint32_t>(expectedSize)) return VerificationResult::SizeDiffers;

  const std::uint64_t fileSize = reader.fileSize;
  std::uint32_t crc = 0xFFFFFFFFu;
  std::uint64_t index = 0;
  std::uint64_t barMovedAt = 0;
  // The CRC takes all buffered bytes at once; the boundaries among them are then reported in
  // order. Nothing outside sees the difference: a stop discards the CRC, and no byte is read
  // from the file that the reader had not buffered already.
  for (ByteSpan span = reader.ReadSpan(UINT32_MAX); span.size != 0; span = reader.ReadSpan(UINT32_MAX)) {
    crc = Crc32::Update(crc, span.data, span.size);
    const std::uint64_t end = index + span.size;
    for (std::uint64_t boundary = (index + kBoundary - 1) / kBoundary * kBoundary; boundary < end;
         boundary += kBoundary) {
      // A file that was empty when opened but grew has no size to take a share of.
      if (fileSize != 0 && (boundary - barMovedAt) * 100 / fileSize >= 1) {
        progress.setPercent(static_cast<int>(boundary * 100 / fileSize));
        barMovedAt = boundary;
      }
      if (!progress.boundaryReached()) return VerificationResult::Stopped;
    }
    index = end;
  }
  return ~crc == expectedCrc ? VerificationResult::Intact : VerificationResult::CrcDiffers;
}
