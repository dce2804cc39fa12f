#pragma once

#include <memory>
#include <string>

#include "disc/DiscImage.h"
#include "disc/DiscReader.h"
#include "disc/listing/DiscListing.h"

// The listed files of a disc image, each read from its own sectors: a sector that fails fails
// only the file that holds it.
class ImageReader : public DiscReader {
 public:
  // file is the image, UTF-8; listing is its files.
  ImageReader(std::string file, DiscListing listing);

  FileOutcome Verify(const ListedFile& file, const Progress& progress) override;

 private:
  FileOutcome Read(const DiscEntry& found, const ListedFile& listed, const Progress& progress);

  std::string imageFile;
  DiscListing listing;
  std::unique_ptr<DiscImage> image;
};
