#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "disc/DiscListing.h"

// The files of an ISO 9660 image in the image's own order, named as a Windows CD drive shows
// them: the Joliet names where the image has them, otherwise the plain ISO 9660 names taken as
// CP932. Rock Ridge names, which only other systems show, are passed over.
class DiscImage {
 public:
  DiscImage();
  ~DiscImage();
  DiscImage(const DiscImage&) = delete;
  DiscImage& operator=(const DiscImage&) = delete;

  // Every file of the image at the UTF-8 path, sorted by name. False, with the reason, when it
  // cannot be read as an image.
  static bool List(const std::string& file, DiscListing& listing, std::string& error);

  // The bytes of the image's file of that CP932 name, found as List's names are. False, with the
  // reason, when the image cannot be read or holds no such file.
  static bool ReadFile(const std::string& file, const std::string& name, std::string& bytes,
                       std::string& error);

  // False, with Error() telling why, when the file cannot be read as an image; always so in a
  // build without image support.
  bool Open(const std::string& file);
  // Moves to the next file, passing over folders and the files that no check list can name,
  // which Unlistable() gathers; false at the end, or on an error, which Error() then tells.
  bool Next(DiscEntry& entry);
  // The current file's next bytes, valid up to the next call; size 0 at the file's end. False,
  // with Error() telling why, when they cannot be read.
  bool Read(const std::uint8_t*& data, std::size_t& size);
  const std::string& Error() const;
  const std::vector<UnlistableFile>& Unlistable() const;

 private:
  struct Archive;

  std::unique_ptr<Archive> archive;
  std::string error;
  std::vector<UnlistableFile> unlistable;
};
