#pragma once

#include <filesystem>
#include <string>
#include <vector>

// A fresh folder under the system's temporary folder, or under base, removed with everything in
// it.
class TempFolder {
 public:
  TempFolder();
  explicit TempFolder(const std::filesystem::path& base);
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // Writes the bytes to a file of that (ASCII) name and gives its path as the program takes it.
  std::string Write(const std::string& name, const std::string& bytes) const;
  std::string PathOf(const std::string& name) const;

 private:
  std::filesystem::path root;
};

// The tests record error messages instead of showing them; this gives those shown since it was made.
class MessageRecorder {
 public:
  MessageRecorder();

  const std::vector<std::string>& Messages() const;
};

// Where sparse files read fast: a memory file system where there is one (reading a hole of a
// disk's file system costs 2 s a GiB here), else the temporary folder.
std::filesystem::path SparseFileBase();

// The bundled sample disc, as a path the program takes.
std::string SampleDiscPath(const std::string& relative);
