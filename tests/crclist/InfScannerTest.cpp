#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "InfScanner.h"
#include "Workspace.h"
#include "checklist/InfTokenizer.h"
#include "platform/Platform.h"

namespace {

// Codes and texts up to and including the first End, one token a line, and whether a 0xFF byte
// cut the input short.
std::string ScannerTokens(const std::string& bytes) {
  InfScanner scanner(bytes);
  std::string tokens;
  for (;;) {
    const ScannedToken token = scanner.Next();
    tokens += std::to_string(static_cast<int>(token.code)) + " [" + token.text + "]\n";
    if (token.code == TokenCode::End) return tokens + (scanner.CutShort() ? "cut" : "");
  }
}

std::string TokenizerTokens(const Workspace& workspace, const std::string& bytes) {
  std::string path;
  EXPECT_TRUE(platform::Utf8ToCp932(workspace.Write("crclist.INF", bytes), path));
  InfTokenizer tokenizer;
  tokenizer.Open(path.c_str());
  std::string tokens;
  for (;;) {
    const Token token = tokenizer.Next();
    tokens += std::to_string(static_cast<int>(token.code)) + " [" + token.text + "]\n";
    if (token.code == TokenCode::End) return tokens + (tokenizer.CutShort() ? "cut" : "");
  }
}

// Bytes that each take a path of their own through the tokenizer, the closing NUL among them.
const char kAlphabetBytes[] = "aZ0_.\\\"'[],!=+-< \n\r:#\x83\x5C\xB1\xFF\x80\xA0\xE0\x1A";
const std::string kAlphabet(kAlphabetBytes, sizeof kAlphabetBytes);

}  // namespace

// The lint scanner must split a file exactly where the program's tokenizer does.
TEST(InfScanner, GivesTheTokenizersCodesAndTexts) {
  Workspace workspace;
  const std::vector<std::string> cases = {
      "[TITLE]\r\n\"Sample Game\"\r\n[CDFILES]\r\na.bin,12,0x1F\r\n",
      "abc += def",
      "\x83\x5C\x83\x74.txt \x81",
      "'unclosed \xFF after",
      "\"a\x83\"b\" c\n",
      "!x != y\n",
      ".hidden \\x\n",
      "word\xFF rest\n",
      "word\xFF\xFF \r\n",
  };
  for (const std::string& bytes : cases) {
    EXPECT_EQ(ScannerTokens(bytes), TokenizerTokens(workspace, bytes)) << bytes;
  }
  std::mt19937 random(20240611);
  for (int round = 0; round < 2000; ++round) {
    std::string bytes(random() % 24, ' ');
    for (char& byte : bytes) byte = kAlphabet[random() % kAlphabet.size()];
    ASSERT_EQ(ScannerTokens(bytes), TokenizerTokens(workspace, bytes))
        << testing::PrintToString(bytes);
  }
}

TEST(InfScanner, TellsWhereTokensStandAndHowTheInputEnded) {
  struct Case {
    const char* what;
    std::string bytes;
    int skip;  // tokens before the one looked at
    std::uint32_t begin, end;
    bool droppedWord, unclosed;
    std::uint32_t stopByte, strayPair;
  };
  const std::uint32_t none = ScannedToken::kNone;
  const Case cases[] = {
      {"a word", "  ab cd\n", 1, 5, 7, false, false, none, none},
      {"a quoted string", "x \"a b\"\n", 1, 2, 7, false, false, none, none},
      {"a word cut by the end", "ab cd", 1, 3, 5, true, false, none, none},
      {"a word cut by 0xFF",
       "ab cd\xFF"
       "ef\n",
       1, 3, 5, true, false, 5, none},
      {"0xFF between tokens", "ab \xFF cd\n", 1, 3, 3, false, false, 3, none},
      {"a quote that never closes", "x 'abc\n", 1, 2, 7, false, true, none, none},
      {"a quote cut by 0xFF",
       "'ab\xFF"
       "cd'\n",
       0, 0, 4, false, true, 3, none},
      {"a lead byte that takes a space", "a\x83 b\n", 0, 0, 4, false, false, none, 1},
      {"0x80 taken for a lead byte", "\"x\x80y\"\n", 0, 0, 5, false, false, none, 2},
      {"a proper double-byte character", "\x83\x5C\n", 0, 0, 2, false, false, none, none},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    InfScanner scanner(c.bytes);
    for (int i = 0; i < c.skip; ++i) scanner.Next();
    const ScannedToken token = scanner.Next();
    EXPECT_EQ(token.begin, c.begin);
    EXPECT_EQ(token.end, c.end);
    EXPECT_EQ(token.droppedWord, c.droppedWord);
    EXPECT_EQ(token.unclosed, c.unclosed);
    EXPECT_EQ(token.stopByte, c.stopByte);
    EXPECT_EQ(token.strayPair, c.strayPair);
  }
}
