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
  // The same for a list whose bytes are already read; false for no bytes, as for an empty file.
  bool OpenBytes(const std::string& bytes);
  Token Next();
  Token Current() const;
  // Where the current token stands.
  const TokenPlace& Place() const;
  // True once a 0xFF byte with more than padding behind it has ended the input: the file was
  // not read whole, and every later token is End.
  bool CutShort() const;

 private:
  static constexpr std::uint8_t kEnd = 0xFF;

  std::uint8_t ReadChar();
  void UnreadChar();
  bool MatchChar(std::uint8_t expected);
  // Whether a byte read from before ends the input: the end itself or 0xFF.
  bool EndsInput(std::uint8_t byte, std::uint32_t before);
  TokenCode Scan(Token& token);
  TokenCode ScanWord(Token& token, std::uint8_t first);
  TokenCode ScanPunctuation(Token& token, std::uint8_t first);
  bool ReadQuoted(Token& token, std::uint8_t quote);
  void CheckPair(std::uint32_t lead);

  Token current;
  TokenPlace place;
  std::map<std::string, TokenCode> keywords;
  std::uint32_t position = 0;
  bool cutShort = false;
};
