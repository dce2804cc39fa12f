#include "disc/DiscImage.h"

#include <memory>

bool DiscImage::List(const std::string& file, DiscListing& listing, std::string& error,
                     ImageKind* kind) {
  DiscImage image;
  if (!image.Open(file)) {
    error = image.Error();
    return false;
  }
  listing = image.Listing();
  if (kind != nullptr) *kind = image.Kind();
  return true;
}

bool DiscImage::ReadFile(const std::string& file, const std::string& name, std::string& bytes,
                         std::string& error) {
  DiscImage image;
  if (!image.Open(file)) {
    error = image.Error();
    return false;
  }
  const DiscEntry* found = image.Listing().Find(name);
  const std::unique_ptr<ByteSource> source = found ? image.Bytes(found->name) : nullptr;
  if (!source) {
    error = file + ": the image holds no " + name;
    return false;
  }
  ByteSpan span{};
  std::string reason;
  while (source->Read(span, reason) && span.size != 0) {
    bytes.append(reinterpret_cast<const char*>(span.data), span.size);
  }
  if (!reason.empty()) error = file + ": " + name + " cannot be read: " + reason;
  return reason.empty();
}

const std::string& DiscImage::Error() const { return error; }
