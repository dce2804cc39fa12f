#pragma once

#include <cstdint>
#include <string>

#include "checklist/Token.h"

// A token of a check list with the bytes it stands on.
struct ScannedToken {
  static constexpr std::uint32_t kNone = 0xFFFFFFFFu;

  TokenCode code = TokenCode::End;
  std::string text;  // as the program's tokenizer carries it
  // The token's bytes. For End, begin and end are where the input ended, or begin is the start
  // of the word that ran into it.
  std::uint32_t begin = 0;
  std::uint32_t end = 0;
  bool droppedWord = false;  // End: a word ran into the end of the input and was dropped
  bool unclosed = false;     // Invalid: a quote that never closes
  // End and an unclosed quote: the 0xFF byte at which the input ended, if it was one.
  std::uint32_t stopByte = kNone;
  // The first byte in the token that the reader pairs with the next one though the two are no
  // CP932 character.
  std::uint32_t strayPair = kNone;
};

// Splits a check list into the tokens of the program's tokenizer, byte for byte the same codes
// and texts, and tells where each one stands. Reports nothing itself; the bytes must outlive it.
class InfScanner {
 public:
  explicit InfScanner(const std::string& fileBytes);

  ScannedToken Next();
  // True once a 0xFF byte with more than padding behind it has ended the input: the program's
  // load fails there, and every later token is End.
  bool CutShort() const;

 private:
  static constexpr std::uint8_t kEnd = 0xFF;

  std::uint8_t ReadChar();
  void UnreadChar();
  bool MatchChar(std::uint8_t expected);
  // The 0xFF byte that a ReadChar from before returned, or kNone at the end of the bytes.
  std::uint32_t StopByte(std::uint32_t before);
  void ScanWord(ScannedToken& token, std::uint8_t first);
  TokenCode ScanPunctuation(ScannedToken& token, std::uint8_t first);
  bool ReadQuoted(ScannedToken& token, std::uint8_t quote, std::string& quoted);
  void CheckPair(ScannedToken& token, std::uint32_t lead) const;

  const std::string& bytes;
  std::uint32_t position = 0;
  std::string carried;
  bool cutShort = false;
};
