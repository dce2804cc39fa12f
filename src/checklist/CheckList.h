#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "checklist/FileEntry.h"

class LoadObserver;

// The check list as read from its file; filled once by Load, then only read.
class CheckList {
 public:
  // False when the file cannot be read, breaks a header or an entry, or is cut short by a 0xFF
  // byte with more than padding behind it; what was read before the failure stays. The observer,
  // when given, is told what the loader makes of every token.
  bool Load(const char* path, LoadObserver* observer = nullptr);
  // The same for a list's bytes already read.
  bool LoadBytes(const std::string& bytes, LoadObserver* observer = nullptr);

  // How an entry's size and crc texts are read; shared with the tools that check lists.
  // A size is decimal digits after optional white space and sign, modulo 2^32, 0 without digits.
  static std::int32_t ReadSize(const std::string& text);
  // A crc is hexadecimal digits after optional white space, sign and 0x; false without a digit.
  static bool ReadCrc(const std::string& text, std::uint32_t& crc);

  std::string title;
  std::string gameKey;
  std::vector<FileEntry> regFiles;
  std::vector<FileEntry> cdFiles;
  std::vector<FileEntry> gameDataFiles;
  std::vector<std::string> messageLines;
  std::vector<std::string> driveInfo;
};
