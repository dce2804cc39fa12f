#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "Finding.h"
#include "InfScanner.h"
#include "LineIndex.h"
#include "checklist/CheckList.h"

// A disc file that a list names: where its name stands and what it must be.
struct ListedDiscFile {
  std::uint32_t offset;
  bool gameData;
  FileEntry entry;
};

// Reads a check list's bytes step for step as the program's loader does, and finds on the way
// what will not read as its author most likely meant.
class Linter {
 public:
  explicit Linter(std::string fileBytes);
  Linter(const Linter&) = delete;
  Linter& operator=(const Linter&) = delete;

  const std::vector<Finding>& Findings() const;
  // What the program reads from the same bytes, member for member, and whether its load succeeds.
  const CheckList& Reading() const;
  bool Loads() const;
  const std::vector<ListedDiscFile>& DiscFiles() const;
  const LineIndex& Lines() const;

 private:
  enum class Values { Single, MessageLines, DriveInfo };

  void Next();
  void ReportToken();
  void ReportInvalid();
  void ReportEnd();
  bool ReadSections();
  bool ReadSection(int& unknownHeaders);
  void ReportUnknownSection();
  void SkipValues();
  void ReadValues(const char* section, Values kind,
                  const std::function<void(const std::string&)>& take);
  bool ReadEntries(const char* section, std::vector<FileEntry>& entries);
  bool ReadEntry(const ScannedToken& name, FileEntry& entry);
  bool Fail(const std::string& what);
  void CheckValueToken();
  void CheckSize(const ScannedToken& token);
  void CheckCrc(const ScannedToken& token, std::uint32_t crc);
  void CheckWholeFile();
  void Report(std::uint32_t offset, FindingKind kind, const std::string& message);
  std::string Bytes(const ScannedToken& token) const;
  std::string Shown(const ScannedToken& token) const;

  const std::string bytes;
  LineIndex lineIndex;
  InfScanner scanner;
  ScannedToken current;
  CheckList reading;
  bool loads = false;
  std::vector<Finding> findings;
  std::vector<ListedDiscFile> discFiles;
};
