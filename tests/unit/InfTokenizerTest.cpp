#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestFiles.h"
#include "checklist/InfTokenizer.h"
#include "texts/Texts.h"

namespace {

struct Scanned {
  int code;
  std::string text;
  bool operator==(const Scanned& other) const { return code == other.code && text == other.text; }
};

std::ostream& operator<<(std::ostream& out, const Scanned& token) {
  return out << "{" << token.code << ", \"" << token.text << "\"}";
}

// Every token up to and including the first End.
std::vector<Scanned> ScanAll(const std::string& bytes) {
  TempFolder folder;
  InfTokenizer tokenizer;
  EXPECT_TRUE(tokenizer.Open(folder.Write("crclist.INF", bytes).c_str()));
  std::vector<Scanned> tokens;
  for (int guard = 0; guard < 1000; ++guard) {
    const Token token = tokenizer.Next();
    tokens.push_back({static_cast<int>(token.code), token.text});
    if (token.code == TokenCode::End) break;
  }
  return tokens;
}

struct ScanCase {
  const char* what;
  std::string input;
  std::vector<Scanned> expected;
};

}  // namespace

TEST(InfTokenizer, ScansTheTokensOfTheFormat) {
  const std::vector<ScanCase> cases = {
      {"words and an operator", "abc += def\n", {{2, "abc"}, {22, "abc"}, {2, "def"}, {0, "def"}}},
      {"a last word without a line end is dropped", "abc += def", {{2, "abc"}, {22, "abc"}, {0, "abc"}}},
      {"a lone plus at the end", "+", {{10, ""}, {0, ""}}},
      {"a bang without '=' leaves the space", "! x\n", {{36, "!"}, {2, "x"}, {0, "x"}}},
      {"keywords are exact", "GAME Game GAME1\n", {{5, "GAME"}, {2, "Game"}, {2, "GAME1"}, {0, "GAME1"}}},
      {"paths are one word", "a.txt dir\\f_1.bin\n", {{2, "a.txt"}, {2, "dir\\f_1.bin"}, {0, "dir\\f_1.bin"}}},
      {"a full stop cannot start a word", ".hidden\n", {{36, "."}, {2, "hidden"}, {0, "hidden"}}},
      {"a backslash cannot start a word", "\\x\n", {{36, "\\"}, {2, "x"}, {0, "x"}}},
      {"trail byte 0x5C stays in the word", "\x83\x5C\x83\x74\x83\x67.txt\n",
       {{2, "\x83\x5C\x83\x74\x83\x67.txt"}, {0, "\x83\x5C\x83\x74\x83\x67.txt"}}},
      {"trail byte 0x5B starts no bracket", "\x83\x5B[\n", {{2, "\x83\x5B"}, {20, "\x83\x5B"}, {0, "\x83\x5B"}}},
      {"a lead byte takes 0xFF as its trail", std::string("\x81\xFF\n"), {{2, "\x81\xFF"}, {0, "\x81\xFF"}}},
      {"quotes hold the other quote", "'a\"b' \"c'd\"\n", {{26, "a\"b"}, {27, "c'd"}, {0, "c'd"}}},
      {"quotes hold spaces and line ends", "\"a b\r\n,c\" ", {{27, "a b\r\n,c"}, {0, "a b\r\n,c"}}},
      {"a trail byte equal to the quote", "'\x83\x27' ", {{26, "\x83\x27"}, {0, "\x83\x27"}}},
      {"an unclosed quote eats the rest", "x \"abc\ndef\n", {{2, "x"}, {36, "\""}, {0, "\""}}},
      {"a control byte at the end", "a\x1A", {{2, "a"}, {36, "\x1A"}, {0, "\x1A"}}},
      {"0xFF ends the input", std::string("a \xFF b\n"), {{2, "a"}, {0, "a"}}},
      {"0xFF drops the word it ends", std::string("ab\xFF\n"), {{0, ""}}},
      {"0xFF ends a quote and the input", std::string("'ab\xFF cd\n"), {{36, "'"}, {0, "'"}}},
      {"white space only", " \t\r\n", {{0, ""}}},
  };
  MessageRecorder messages;
  for (const ScanCase& scanCase : cases) {
    SCOPED_TRACE(scanCase.what);
    EXPECT_EQ(ScanAll(scanCase.input), scanCase.expected);
  }
}

// Only 0xFF bytes and white space may stand behind a 0xFF byte for the file to count as read whole.
TEST(InfTokenizer, TellsPaddingFromAFileCutShort) {
  const std::pair<std::string, bool> cases[] = {
      {"a\n", false},
      {"a\n\xFF", false},
      {"a\n\xFF\xFF \r\n\t\xFF", false},
      {"a\n\xFF b\n", true},
      {"ab\xFF\xFF\n", false},
      {"ab\xFF.", true},
      {"'ab\xFF\xFF ", false},
      {"'ab\xFF'", true},
      {"\x81\xFF b\n", false},
  };
  MessageRecorder messages;
  for (const auto& [bytes, cutShort] : cases) {
    SCOPED_TRACE(testing::PrintToString(bytes));
    TempFolder folder;
    InfTokenizer tokenizer;
    ASSERT_TRUE(tokenizer.Open(folder.Write("crclist.INF", bytes).c_str()));
    while (tokenizer.Next().code != TokenCode::End) {
    }
    EXPECT_EQ(tokenizer.CutShort(), cutShort);
    EXPECT_EQ(tokenizer.Next().code, TokenCode::End);
  }
}

TEST(InfTokenizer, GivesEveryCodeItsValue) {
  const std::vector<std::pair<std::string, int>> codes = {
      {"DRIVEINFO", 3}, {"TITLE", 4}, {"GAME", 5},  {"REG", 6},   {"CDFILES", 7}, {"GAMEDATA", 8},
      {"MESSAGE", 9},   {"+", 10},    {"-", 11},    {"*", 12},    {"/", 13},      {"%", 14},
      {"=", 15},        {"(", 16},    {")", 17},    {"{", 18},    {"}", 19},      {"[", 20},
      {"]", 21},        {"+=", 22},   {"-=", 23},   {";", 24},    {",", 25},      {"'s'", 26},
      {"\"s\"", 27},    {"==", 28},   {"!=", 29},   {"<", 30},    {"<=", 31},     {">", 32},
      {">=", 33},       {"#", 36},    {"word", 2},
  };
  for (const auto& [text, code] : codes) {
    SCOPED_TRACE(text);
    const std::vector<Scanned> tokens = ScanAll(text + "\n");
    ASSERT_EQ(tokens.size(), 2u);
    EXPECT_EQ(tokens[0].code, code);
  }
}

TEST(InfTokenizer, PunctuationKeepsTheTextBeforeIt) {
  TempFolder folder;
  InfTokenizer tokenizer;
  ASSERT_TRUE(tokenizer.Open(folder.Write("crclist.INF", "name,\n").c_str()));
  tokenizer.Next();
  EXPECT_EQ(tokenizer.Next().code, TokenCode::Comma);
  EXPECT_EQ(tokenizer.Current().code, TokenCode::Comma);
  EXPECT_EQ(tokenizer.Current().text, "name");
}

TEST(InfTokenizer, ReportsEachInvalidByteInABox) {
  const std::string invalidBytes("\x01\x7F#$&:?^~@`|\xA1\xDF.\\!\"", 18);
  for (const char byte : invalidBytes) {
    SCOPED_TRACE(static_cast<int>(static_cast<unsigned char>(byte)));
    MessageRecorder messages;
    const std::vector<Scanned> tokens = ScanAll(std::string(1, byte) + " ");
    ASSERT_GE(tokens.size(), 1u);
    EXPECT_EQ(tokens[0], (Scanned{36, std::string(1, byte)}));
    EXPECT_EQ(messages.Messages(),
              std::vector<std::string>{std::string(1, byte) + ",1," + texts::kInvalidToken});
  }
}

TEST(InfTokenizer, ShowsANulByteAsAnEmptyText) {
  MessageRecorder messages;
  const std::vector<Scanned> tokens = ScanAll(std::string("\0 ", 2));
  EXPECT_EQ(tokens[0], (Scanned{36, std::string(1, '\0')}));
  EXPECT_EQ(messages.Messages(), std::vector<std::string>{std::string(",1,") + texts::kInvalidToken});
}

TEST(InfTokenizer, FailsToOpenAMissingOrEmptyFile) {
  TempFolder folder;
  InfTokenizer tokenizer;
  EXPECT_FALSE(tokenizer.Open(folder.PathOf("missing.INF").c_str()));
  EXPECT_FALSE(tokenizer.Open(folder.Write("empty.INF", "").c_str()));
  EXPECT_EQ(tokenizer.Next().code, TokenCode::End);
}

TEST(InfTokenizer, TellsWhereTokensStandAndHowTheInputEnded) {
  struct Case {
    const char* what;
    std::string bytes;
    int skip;  // tokens before the one looked at
    std::uint32_t begin, end;
    bool droppedWord, unclosed;
    std::uint32_t stopByte;
    bool cutShort;
    std::uint32_t strayPair;
  };
  const std::uint32_t none = TokenPlace::kNone;
  const Case cases[] = {
      {"a word", "  ab cd\n", 1, 5, 7, false, false, none, false, none},
      {"a quoted string", "x \"a b\"\n", 1, 2, 7, false, false, none, false, none},
      {"a word cut by the end", "ab cd", 1, 3, 5, true, false, none, false, none},
      {"a word cut by 0xFF", "ab cd\xFF" "ef\n", 1, 3, 5, true, false, 5, true, none},
      {"0xFF between tokens", "ab \xFF cd\n", 1, 3, 3, false, false, 3, true, none},
      {"0xFF padding at the end", "ab\n\xFF\xFF \r\n", 1, 3, 3, false, false, 3, false, none},
      {"a quote that never closes", "x 'abc\n", 1, 2, 7, false, true, none, false, none},
      {"a quote cut by 0xFF", "'ab\xFF" "cd'\n", 0, 0, 4, false, true, 3, true, none},
      {"a lead byte that takes a space", "a\x83 b\n", 0, 0, 4, false, false, none, false, 1},
      {"0x80 taken for a lead byte", "\"x\x80y\"\n", 0, 0, 5, false, false, none, false, 2},
      {"a proper double-byte character", "\x83\x5C\n", 0, 0, 2, false, false, none, false, none},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    InfTokenizer tokenizer;
    ASSERT_TRUE(tokenizer.OpenBytes(c.bytes));
    const MessageRecorder boxes;
    for (int i = 0; i < c.skip; ++i) tokenizer.Next();
    tokenizer.Next();
    const TokenPlace& place = tokenizer.Place();
    EXPECT_EQ(place.begin, c.begin);
    EXPECT_EQ(place.end, c.end);
    EXPECT_EQ(place.droppedWord, c.droppedWord);
    EXPECT_EQ(place.unclosed, c.unclosed);
    EXPECT_EQ(place.stopByte, c.stopByte);
    EXPECT_EQ(place.cutShort, c.cutShort);
    EXPECT_EQ(place.strayPair, c.strayPair);
  }
}

TEST(InfTokenizer, ReadsBytesInMemoryAsAFile) {
  const std::string bytes = "[CDFILES]\r\n\x83\x5C.bin,1,2\r\nend";
  InfTokenizer fromBytes;
  ASSERT_TRUE(fromBytes.OpenBytes(bytes));
  const std::vector<Scanned> fromFile = ScanAll(bytes);
  for (const Scanned& expected : fromFile) {
    const Token token = fromBytes.Next();
    EXPECT_EQ((Scanned{static_cast<int>(token.code), token.text}), expected);
  }
  EXPECT_FALSE(InfTokenizer().OpenBytes(""));
}
