#include "disc/DiscImage.h"

#include <algorithm>
#include <utility>
#include <vector>

bool DiscImage::List(const std::string& file, DiscListing& listing, std::string& error) {
  DiscImage image;
  std::vector<DiscEntry> files;
  DiscEntry entry;
  if (image.Open(file)) {
    while (image.Next(entry)) files.push_back(entry);
  }
  error = image.Error();
  if (!error.empty()) return false;
  std::sort(files.begin(), files.end(),
            [](const DiscEntry& a, const DiscEntry& b) { return a.name < b.name; });
  listing = DiscListing(std::move(files), image.Unlistable());
  return true;
}

bool DiscImage::ReadFile(const std::string& file, const std::string& name, std::string& bytes,
                         std::string& error) {
  DiscImage image;
  DiscEntry entry;
  bool found = false;
  if (image.Open(file)) {
    const std::string wanted = DiscListing::Folded(name);
    while (!found && image.Next(entry)) found = DiscListing::Folded(entry.name) == wanted;
  }
  const std::uint8_t* data = nullptr;
  std::size_t size = 0;
  while (found && image.Read(data, size) && size != 0) {
    bytes.append(reinterpret_cast<const char*>(data), size);
  }
  error = image.Error();
  if (error.empty() && !found) error = file + ": the image holds no " + name;
  return error.empty();
}

const std::string& DiscImage::Error() const { return error; }

const std::vector<UnlistableFile>& DiscImage::Unlistable() const { return unlistable; }
