#include "disc/ImageReader.h"

#include <chrono>
#include <utility>

#include "verify/ByteSource.h"

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point started) {
  return std::chrono::duration<double>(Clock::now() - started).count();
}

// The current file of an image, block by block as the image gives them.
class ImageBytes : public ByteSource {
 public:
  ImageBytes(DiscImage& opened, const DiscReader::Progress& told) : image(opened), progress(told) {}

  bool Read(ByteSpan& bytes, std::string& reason) override {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    if (!image.Read(data, size)) {
      reason = image.Error();
      return false;
    }
    bytes = {data, static_cast<std::uint32_t>(size)};
    if (size != 0) progress(size);
    return true;
  }

 private:
  DiscImage& image;
  const DiscReader::Progress& progress;
};

}  // namespace

ImageReader::ImageReader(std::string file, DiscListing imageListing,
                         const std::vector<ListedFile>& files)
    : imageFile(std::move(file)), listing(std::move(imageListing)) {
  for (const ListedFile& listed : files) {
    const DiscEntry* found = listing.Find(listed.path);
    if (found != nullptr && *found->size == static_cast<std::uint32_t>(listed.entry.size)) {
      wanted.insert(found->name);
    }
  }
}

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
    const auto kept = readings.find(found->name);
    if (kept != readings.end()) {
      // Read on the way to another file: its bytes count now.
      if (!progress(kept->second.bytesRead)) return outcome;
      outcome = kept->second;
    } else if (!ReadUpTo(found->name, progress, outcome)) {
      return FileOutcome();
    }
    outcome.foundSize = *found->size;
    if (outcome.foundCrc) {
      outcome.status =
          *outcome.foundCrc == listed.entry.crc ? FileStatus::Intact : FileStatus::CrcDiffers;
    }
    return outcome;
  }
  outcome.seconds = SecondsSince(started);
  return outcome;
}

// False when stopped. Reads on from where the last file ended, or from the image's start when
// the file lies behind; a read that fails ends the image's use, which starts again with the
// next file.
bool ImageReader::ReadUpTo(const std::string& name, const Progress& progress, Reading& reading) {
  const Progress pollOnly = [&](std::uint64_t) { return progress(0); };
  for (;;) {
    bool fromStart = false;
    if (!image) {
      image = std::make_unique<DiscImage>();
      fromStart = true;
      if (!image->Open(imageFile)) break;
    }
    DiscEntry entry;
    while (image && image->Next(entry)) {
      if (entry.name == name) return ReadCurrent(*entry.size, progress, reading);
      if (wanted.count(entry.name) != 0 && readings.count(entry.name) == 0) {
        Reading passed;
        if (!ReadCurrent(*entry.size, pollOnly, passed)) return false;
        readings[entry.name] = passed;
      }
    }
    if (image && (fromStart || !image->Error().empty())) break;
    image.reset();
  }
  reading.status = FileStatus::Unreadable;
  reading.reason = image->Error().empty() ? "the image no longer holds it" : image->Error();
  image.reset();
  return true;
}

// False when stopped; otherwise the reading has the file's CRC-32 or tells why it has none.
bool ImageReader::ReadCurrent(std::uint64_t size, const Progress& progress, Reading& reading) {
  const Clock::time_point started = Clock::now();
  ImageBytes bytes(*image, progress);
  const auto sizeAtOpen = static_cast<std::uint32_t>(size);
  const VerificationOutcome verified = VerifyBytes(bytes, sizeAtOpen, static_cast<std::int32_t>(sizeAtOpen), 0, Polling(progress));
  if (verified.result == VerificationResult::Stopped) return false;
  reading = FileOutcome::Of(verified, sizeAtOpen, 0);
  reading.seconds = SecondsSince(started);
  if (reading.foundCrc && verified.bytesRead == size) return true;
  reading.status = FileStatus::Unreadable;
  reading.foundCrc.reset();
  reading.failedAt = verified.bytesRead;
  if (!verified.readFailed) reading.reason = "the image ends before the file's end";
  image.reset();
  return true;
}
