#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "checklist/FileImage.h"
#include "checklist/Token.h"

// Scans a whole check-list file into tokens; every invalid byte is reported in an error box.
class InfTokenizer : public FileImage {
 public:
  InfTokenizer();

  bool Open(const char* path);
  Token Next();
  Token Current() const;
  // True once a 0xFF byte with more than padding behind it has ended the input: the file was
  // not read whole, and every later token is End.
  bool CutShort() const;

 private:
  static constexpr std::uint8_t kEnd = 0xFF;

  std::uint8_t ReadChar();
  void UnreadChar();
  bool MatchChar(std::uint8_t expected);
  bool EndsInput(std::uint8_t byte);
  TokenCode Scan(Token& token);
  TokenCode ScanWord(Token& token, std::uint8_t first);
  TokenCode ScanPunctuation(Token& token, std::uint8_t first);
  bool ReadQuoted(Token& token, std::uint8_t quote);

  Token current;
  std::map<std::string, TokenCode> keywords;
  std::uint32_t position = 0;
  bool cutShort = false;
};
