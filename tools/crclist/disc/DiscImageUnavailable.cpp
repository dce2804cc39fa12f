// Windows builds of crclist have no libudfread to read UDF with, and read no images.

#include "disc/DiscImage.h"

struct DiscImage::Volume {};

DiscImage::DiscImage() = default;
DiscImage::~DiscImage() = default;

bool DiscImage::Open(const std::string& file) {
  error = file + ": this crclist cannot read disc images, which needs libudfread; check the image "
                 "with the Linux build of crclist, or mount it with Windows and verify that drive";
  return false;
}

const ImageKind& DiscImage::Kind() const {
  static const ImageKind none;
  return none;
}

const DiscListing& DiscImage::Listing() const {
  static const DiscListing none;
  return none;
}

std::unique_ptr<ByteSource> DiscImage::Bytes(const std::string&) { return nullptr; }

std::vector<TreeNote> DiscImage::Notes() const { return {}; }

std::vector<std::string> DiscImage::UnreadableSectors() { return {}; }
