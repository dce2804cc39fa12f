#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>

// How the error stream takes a progress line.
struct ProgressTerminal {
  bool shown = false;    // it is a terminal
  bool escapes = false;  // it takes the escape that erases a line (a "dumb" terminal does not)
  std::function<std::size_t()> columns = [] { return std::size_t{80}; };  // its width now
};

// One terminal line with the file being read, its ordinal, how much of the whole run's bytes is
// done, the reading speed and the time left, redrawn at most ten times a second within the
// terminal's width. When not shown it writes nothing.
class ProgressLine {
 public:
  ProgressLine(std::ostream& stream, ProgressTerminal terminal, std::uint64_t totalBytes,
               std::size_t totalFiles);

  // path is CP932, converted only when the line is drawn; ordinal counts from 1.
  void StartFile(const std::string& path, std::size_t ordinal);
  void AddBytes(std::uint64_t bytes);
  // The file is done, read to its end or not: all its size counts as done.
  void FinishFile(std::uint64_t size);
  // Erases the line, so that a message can take its place.
  void Clear();

 private:
  using Clock = std::chrono::steady_clock;

  void Draw();
  std::string Figures(double seconds) const;

  std::ostream& out;
  ProgressTerminal terminal;
  std::uint64_t total;
  std::size_t fileTotal;
  std::string file;
  std::size_t fileOrdinal = 0;
  std::uint64_t finished = 0;  // the sizes of the files done
  std::uint64_t fileRead = 0;
  std::uint64_t bytesRead = 0;
  Clock::time_point started = Clock::now();
  Clock::time_point drawn{};
  std::size_t drawnColumns = 0;  // 0 while no line is on the screen
};
