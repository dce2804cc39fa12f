#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "disc/DiscImage.h"
#include "disc/DiscListing.h"
#include "disc/DiscReader.h"

// The listed files of a disc image. The image is read once, in its own order: on the way to the
// file asked for, every other listed file is checksummed and kept for when it is asked for.
class ImageReader : public DiscReader {
 public:
  // file is the image, UTF-8; listing is its files; files are all that will be asked for.
  ImageReader(std::string file, DiscListing listing, const std::vector<ListedFile>& files);

  FileOutcome Verify(const ListedFile& file, const Progress& progress) override;

 private:
  // What reading one of the image's files found: foundCrc set when it was read to its end.
  using Reading = FileOutcome;

  bool ReadUpTo(const std::string& name, const Progress& progress, Reading& reading);
  bool ReadCurrent(std::uint64_t size, const Progress& progress, Reading& reading);

  std::string imageFile;
  DiscListing listing;
  std::set<std::string> wanted;  // the image's names of the listed files of the right size
  std::map<std::string, Reading> readings;
  std::unique_ptr<DiscImage> image;
};
