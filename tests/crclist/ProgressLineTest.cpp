// The real crclist with its standard error on a pseudo-terminal of a chosen width.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "RunCrclist.h"
#include "Workspace.h"
#include "terminal/TerminalText.h"

namespace {

// A name of 84 columns: wider than the terminals below. The line is drawn at once for the first
// file, and then at most ten times a second.
const std::string kLongName =
    "gamedata/ステージ/とても長い日本語のファイル名のデータ/第一章から最終章までの背景画像.bin";

// Everything the terminal gets until the program's side closes.
std::string ReadToTheEnd(int terminal) {
  std::string screen;
  char buffer[4096];
  for (ssize_t got; (got = read(terminal, buffer, sizeof buffer)) > 0;) {
    screen.append(buffer, static_cast<std::size_t>(got));
  }
  close(terminal);
  return screen;
}

struct TerminalRun {
  int status;
  std::string screen;  // every byte written to the terminal
};

TerminalRun RunOnTerminal(const std::vector<std::string>& arguments, unsigned short columns,
                          const char* term) {
  winsize size{};
  size.ws_col = columns;
  size.ws_row = 24;
  int terminal = -1;
  const pid_t child = forkpty(&terminal, nullptr, nullptr, &size);
  if (child == 0) {
    setenv("TERM", term, 1);
    const int nowhere = open("/dev/null", O_WRONLY);
    dup2(nowhere, STDOUT_FILENO);
    std::vector<char*> argv{const_cast<char*>(CRCLIST_PROGRAM)};
    for (const std::string& argument : arguments)
      argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    execv(CRCLIST_PROGRAM, argv.data());
    _exit(127);
  }
  TerminalRun run{-1, ReadToTheEnd(terminal)};
  waitpid(child, &run.status, 0);
  return run;
}

// Each state of the line: the text between carriage returns, without the escape that erases it.
std::vector<std::string> LineStates(const std::string& screen) {
  std::vector<std::string> states;
  std::size_t start = 0;
  for (std::size_t end; (end = screen.find('\r', start)) != std::string::npos; start = end + 1) {
    std::string state = screen.substr(start, end - start);
    if (state.rfind("\x1b[K", 0) == 0) state.erase(0, 3);
    if (!state.empty() && state != "\n") states.push_back(state);
  }
  return states;
}

bool IsWholeUtf8(const std::string& text) {
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t length = lead < 0x80    ? 1
                               : lead >= 0xF0 ? 4
                               : lead >= 0xE0 ? 3
                               : lead >= 0xC0 ? 2
                                              : 0;
    if (length == 0 || i + length > text.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    }
    i += length;
  }
  return true;
}

class ProgressOnTerminal : public testing::Test {
 protected:
  void SetUp() override {
    disc.Write(kLongName, std::string(3 << 20, 'b'));
    ASSERT_EQ(RunCrclist({"make", disc.Path(), "--drive-info", "x"}).code, 0);
  }
  Workspace disc;
};

}  // namespace

// Every state of the line fits in the width less its last column, whole characters only, with
// the end of a long name and the whole run's figures.
TEST_F(ProgressOnTerminal, FitsTheWidthInColumnsAndKeepsTheEndOfTheName) {
  for (const unsigned short columns : std::vector<unsigned short>{60, 41, 100}) {
    SCOPED_TRACE(columns);
    const TerminalRun run = RunOnTerminal({"verify", disc.Path()}, columns, "xterm");
    EXPECT_EQ(WEXITSTATUS(run.status), 0) << run.screen;
    const std::vector<std::string> states = LineStates(run.screen);
    ASSERT_FALSE(states.empty()) << run.screen;
    bool longNameShown = false;
    for (const std::string& state : states) {
      EXPECT_TRUE(IsWholeUtf8(state)) << state;
      EXPECT_LE(terminal_text::ColumnsOf(state), columns - 1u) << state;
      EXPECT_NE(state.find("MB/s"), std::string::npos) << state;
      if (state.find("[1/1]") == 0) {
        longNameShown = true;
        EXPECT_NE(state.find("…"), std::string::npos) << state;
        const std::string end = "背景画像.bin";
        EXPECT_EQ(state.substr(state.size() - end.size()), end) << state;
      }
    }
    EXPECT_TRUE(longNameShown) << run.screen;
  }
}

// A dumb terminal gets carriage returns and spaces only.
TEST_F(ProgressOnTerminal, WritesNoEscapeToADumbTerminal) {
  const TerminalRun run = RunOnTerminal({"verify", disc.Path()}, 60, "dumb");
  EXPECT_EQ(WEXITSTATUS(run.status), 0);
  EXPECT_NE(run.screen.find("[1/1]"), std::string::npos) << run.screen;
  EXPECT_EQ(run.screen.find('\x1b'), std::string::npos) << run.screen;
}

// Ctrl-C on the terminal stops a run with the shell's code for it.
TEST_F(ProgressOnTerminal, EndsWithExit130OnCtrlC) {
  disc.Write("big.bin", std::string(64 << 20, 'c'));
  ASSERT_EQ(RunCrclist({"make", disc.Path(), "--drive-info", "x"}).code, 0);
  winsize size{};
  size.ws_col = 80;
  int terminal = -1;
  const pid_t child = forkpty(&terminal, nullptr, nullptr, &size);
  if (child == 0) {
    execl(CRCLIST_PROGRAM, CRCLIST_PROGRAM, "verify", disc.Path().c_str(), "--keep-going",
          static_cast<char*>(nullptr));
    _exit(127);
  }
  char buffer[4096];
  ASSERT_GT(read(terminal, buffer, sizeof buffer), 0);  // the first progress line
  kill(child, SIGINT);
  const std::string screen = ReadToTheEnd(terminal);
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status)) << screen;
  EXPECT_EQ(WEXITSTATUS(status), 130) << screen;
  EXPECT_NE(screen.find("stopped after "), std::string::npos) << screen;
}

TEST(TerminalText, KeepsTheEndWithinTheColumnsInWholeCharacters) {
  struct Case {
    std::string text;
    std::size_t columns;
    std::string kept;
  };
  const std::vector<Case> cases = {
      {"abc", 3, "abc"},
      {"abcd", 3, "…cd"},
      {"データ.bin", 10, "データ.bin"},
      {"データ.bin", 9, "…ータ.bin"},
      {"データ.bin", 8, "…タ.bin"},  // "ー" would need two of the three columns left
      {"ｱｲｳ.bin", 7, "ｱｲｳ.bin"},     // half-width katakana take one column
      {"a\tb", 3, "a?b"},
      {"abc", 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text + " in " + std::to_string(c.columns));
    EXPECT_EQ(terminal_text::EndWithin(c.text, c.columns), c.kept);
  }
  EXPECT_EQ(terminal_text::ColumnsOf("ゲーム data"), 11u);
}
