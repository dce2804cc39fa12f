#pragma once

#include <filesystem>
#include <string>

// A file in the system's temporary folder holding the given bytes, removed with the object.
class TemporaryFile {
 public:
  explicit TemporaryFile(const std::string& bytes);
  ~TemporaryFile();
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  // UTF-8.
  std::string Path() const;

 private:
  std::filesystem::path path;
};
