#pragma once

#include <memory>
#include <string>
#include <vector>

#include "disc/listing/DiscListing.h"
#include "verify/ByteSource.h"

// What an image is: what holds its sectors ("plain", "raw", "cue", "clonecd", "alcohol") and
// which of its file systems is read ("UDF 2.60", "Joliet", "ISO 9660").
struct ImageKind {
  std::string format;
  std::string tree;
};

// What a disc author should know of how an image's names read on Windows: where a bridge disc's
// two trees differ, or plain ISO 9660 names that only a Japanese Windows shows as listed.
struct TreeNote {
  enum class Kind { TreesDiffer, OemNames };
  Kind kind;
  std::string message;  // UTF-8
};

// The files of a disc image as Windows shows the disc: from a UDF volume of a revision that
// Windows reads, otherwise from the Joliet names, otherwise from the plain ISO 9660 names taken
// as CP932. The image's sectors come from a plain image, a raw one, or the tracks that its cue
// sheet, CloneCD or Alcohol descriptor names.
class DiscImage {
 public:
  DiscImage();
  ~DiscImage();
  DiscImage(const DiscImage&) = delete;
  DiscImage& operator=(const DiscImage&) = delete;

  // Every file of the image at the UTF-8 path, sorted by name. False, with the reason, when it
  // cannot be read as an image.
  static bool List(const std::string& file, DiscListing& listing, std::string& error,
                   ImageKind* kind = nullptr);

  // The bytes of the image's file of that CP932 name, found as List's names are. False, with the
  // reason, when the image cannot be read or holds no such file.
  static bool ReadFile(const std::string& file, const std::string& name, std::string& bytes,
                       std::string& error);

  // False, with Error() telling why, when the file cannot be read as an image; always so in a
  // build without image support.
  bool Open(const std::string& file);
  const std::string& Error() const;
  const ImageKind& Kind() const;
  // The files of the tree that Windows reads, sorted by name.
  const DiscListing& Listing() const;
  // The bytes of the file of exactly that name in Listing(); null when there is none. A sector
  // that cannot be read fails the read at its byte, with the sector's address in the reason.
  std::unique_ptr<ByteSource> Bytes(const std::string& name);
  // Where the trees of a bridge disc disagree, and plain names that are not ASCII.
  std::vector<TreeNote> Notes() const;
  // Each sector of the file system's track that a drive would fail, with the file that holds
  // it, if any; only raw sectors carry the codes that tell. UTF-8.
  std::vector<std::string> UnreadableSectors();

 private:
  struct Volume;

  std::unique_ptr<Volume> volume;
  std::string error;
};
