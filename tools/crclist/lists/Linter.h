#pragma once

#include <cstdint>
#include <unordered_map>
#include <string>
#include <vector>

#include "checklist/CheckList.h"
#include "checklist/LoadObserver.h"
#include "lists/Finding.h"
#include "lists/LineIndex.h"
#include "lists/ListFile.h"
#include "lists/ListedFile.h"

// Reads a check list's bytes through the program's own loader, and finds on the way what will
// not read as its author most likely meant.
class Linter : private LoadObserver {
 public:
  explicit Linter(std::string fileBytes);
  Linter(const Linter&) = delete;
  Linter& operator=(const Linter&) = delete;

  const std::vector<Finding>& Findings() const;
  // What the program reads from the same bytes, member for member, and whether its load succeeds.
  const CheckList& Reading() const;
  bool Loads() const;
  const std::vector<ListedFile>& DiscFiles() const;
  const LineIndex& Lines() const;

 private:
  void TokenRead(const Token& token, const TokenPlace& place) override;
  void OutsideSection(const TokenPlace& place) override;
  void UnknownSection(const Token& name, const TokenPlace& place) override;
  void SectionStarted(TokenCode section) override;
  void ValueRead(TokenCode section, const Token& value, const TokenPlace& place) override;
  void FieldRead(EntryField field, const Token& token, const TokenPlace& place) override;
  void EntryRead(TokenCode section, const FileEntry& entry) override;
  void LoadFailed(LoadFailure failure, const Token& subject, const Token& current,
                  const TokenPlace& place) override;

  void ReportInvalid(const Token& token, const TokenPlace& place);
  void ReportEnd(const TokenPlace& place);
  std::string FailureText(LoadFailure failure, const Token& subject, const Token& current,
                          const TokenPlace& place) const;
  void CheckDiscName(const ListedFile& file);
  void CheckValueToken(const Token& token, const TokenPlace& place);
  void CheckSize(const Token& token, const TokenPlace& place);
  void CheckCrc(const Token& token, const TokenPlace& place);
  void CheckWholeFile();
  void Report(std::uint32_t offset, FindingKind kind, const std::string& message);
  std::string Bytes(const TokenPlace& place) const;
  std::string Shown(const Token& token, const TokenPlace& place) const;

  const std::string bytes;
  LineIndex lineIndex;
  CheckList reading;
  bool loads = false;
  bool cutShown = false;
  std::uint32_t lastBracket = 0;  // where the last "[" stands
  std::vector<Finding> findings;
  std::vector<ListedFile> discFiles;
  // Each disc path by its case-folded form, with where it first stands.
  std::unordered_map<std::string, std::pair<std::string, std::uint32_t>> firstFolded;
  // The section body being read: its values so far and the line of the last one; the names of
  // its entries with where they stand; the entry being read.
  std::size_t valueCount = 0;
  std::uint32_t previousLine = 0;
  std::uint32_t reportedLine = 0;
  std::unordered_map<std::string, std::uint32_t> firstListed;
  Token entryName;
  TokenPlace entryNamePlace;
};
