#pragma once

#include <filesystem>
#include <string>

// A fresh folder under the system's temporary folder, or under base, removed with everything in
// it. Names are UTF-8 and may hold subfolders separated by "/".
class Workspace {
 public:
  explicit Workspace(const std::filesystem::path& base = std::filesystem::temp_directory_path());
  ~Workspace();
  Workspace(const Workspace&) = delete;
  Workspace& operator=(const Workspace&) = delete;

  // Writes the bytes, creating the folders on the way, and gives the file's path.
  std::string Write(const std::string& name, const std::string& bytes) const;
  std::string Read(const std::string& name) const;
  // The path as the command line takes it: UTF-8.
  std::string Path(const std::string& name = "") const;
  bool Exists(const std::string& name) const;

 private:
  std::filesystem::path Native(const std::string& name) const;

  std::filesystem::path root;
};

// A path of the bundled sample disc as the command line takes it.
std::string SampleDisc(const std::string& name = "");
