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
  std::uint64_t sinceBarMoved = 0;
  // Each span ends at a boundary, so only its first byte can stand on one.
  for (;;) {
    const auto toBoundary = static_cast<std::uint32_t>(kBoundary - index % kBoundary);
    const ByteSpan span = reader.ReadSpan(toBoundary);
    if (span.size == 0) break;
    crc = Crc32::Update(crc, span.data, span.size);
    if (index % kBoundary == 0) {
      // A file that was empty when opened but grew has no size to take a share of.
      if (fileSize != 0 && sinceBarMoved * 100 / fileSize >= 1) {
        progress.setPercent(static_cast<int>(index * 100 / fileSize));
        sinceBarMoved = 0;
      }
      if (!progress.boundaryReached()) return VerificationResult::Stopped;
    }
    index += span.size;
    sinceBarMoved += span.size;
  }
  return ~crc == expectedCrc ? VerificationResult::Intact : VerificationResult::CrcDiffers;
}
