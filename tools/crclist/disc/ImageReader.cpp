#include "disc/ImageReader.h"

#include <chrono>
#include <utility>

#include "verify/ByteSource.h"

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point started) {
  return std::chrono::duration<double>(Clock::now() - started).count();
}

// A file's bytes, each block told to the progress as it arrives.
class CountedBytes : public ByteSource {
 public:
  CountedBytes(ByteSource& read, const DiscReader::Progress& told) : bytes(read), progress(told) {}

  bool Read(ByteSpan& span, std::string& reason) override {
    if (!bytes.Read(span, reason)) return false;
    if (span.size != 0) progress(span.size);
    return true;
  }

 private:
  ByteSource& bytes;
  const DiscReader::Progress& progress;
};

}  // namespace

ImageReader::ImageReader(std::string file, DiscListing imageListing)
    : imageFile(std::move(file)), listing(std::move(imageListing)) {}

FileOutcome ImageReader::Verify(const ListedFile& listed, const Progress& progress) {
  const Clock::time_point started = Clock::now();
  FileOutcome outcome;
  const DiscEntry* found = listing.Find(listed.path);
  if (found == nullptr) {
    outcome.status = FileStatus::Missing;
    const UnlistableFile* unlistable = listing.UnlistableAs(listed.path);
    outcome.reason = unlistable == nullptr ? "the image holds no file of that name"
                                           : "the image holds \"" + unlistable->shownName +
                                                 "\" instead: " + unlistable->reason;
  } else if (*found->size != static_cast<std::uint32_t>(listed.entry.size)) {
    outcome.status = FileStatus::SizeDiffers;
    outcome.foundSize = *found->size;
  } else {
    outcome = Read(*found, listed, progress);
  }
  outcome.seconds = SecondsSince(started);
  return outcome;
}

FileOutcome ImageReader::Read(const DiscEntry& found, const ListedFile& listed,
                              const Progress& progress) {
  FileOutcome outcome;
  if (!image) {
    image = std::make_unique<DiscImage>();
    if (!image->Open(imageFile)) {
      outcome.status = FileStatus::Unreadable;
      outcome.reason = image->Error();
      image.reset();
      return outcome;
    }
  }
  const std::unique_ptr<ByteSource> bytes = image->Bytes(found.name);
  if (!bytes) {
    outcome.status = FileStatus::Unreadable;
    outcome.reason = "the image no longer holds it";
    return outcome;
  }
  CountedBytes counted(*bytes, progress);
  const auto size = static_cast<std::uint32_t>(*found.size);
  const VerificationOutcome verified = VerifyBytes(counted, size, static_cast<std::int32_t>(size),
                                                   listed.entry.crc, Polling(progress));
  if (verified.result == VerificationResult::Stopped) return FileOutcome();
  outcome = FileOutcome::Of(verified, size, listed.entry.crc);
  if (outcome.foundCrc && verified.bytesRead != *found.size) {
    outcome.status = FileStatus::Unreadable;
    outcome.foundCrc.reset();
    outcome.failedAt = verified.bytesRead;
    outcome.reason = "the image ends before the file's end";
  }
  return outcome;
}
