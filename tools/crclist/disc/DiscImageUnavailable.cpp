// Windows builds of crclist have no libarchive to read images with.

#include "disc/DiscImage.h"

struct DiscImage::Archive {};

DiscImage::DiscImage() = default;
DiscImage::~DiscImage() = default;

bool DiscImage::Open(const std::string& file) {
  error = file + ": this crclist cannot read disc images, which needs libarchive; check the image "
                 "with the Linux build of crclist";
  return false;
}

bool DiscImage::Next(DiscEntry&) { return false; }

bool DiscImage::Read(const std::uint8_t*&, std::size_t&) { return false; }
