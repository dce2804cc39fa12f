#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>

// One terminal line with the file being read, its ordinal, its percentage and the reading speed,
// redrawn at most ten times a second. When not shown it writes nothing.
class ProgressLine {
 public:
  ProgressLine(std::ostream& stream, bool isShown);

  // name is UTF-8; ordinal counts from 1.
  void StartFile(const std::string& name, std::size_t ordinal, std::size_t total);
  void SetPercent(int percent);
  void AddBytes(std::uint64_t bytes);
  // Erases the line, so that a message can take its place.
  void Clear();

 private:
  using Clock = std::chrono::steady_clock;

  void Draw();

  std::ostream& out;
  bool shown;
  std::string file;
  std::size_t fileOrdinal = 0;
  std::size_t fileTotal = 0;
  int filePercent = 0;
  std::uint64_t bytesRead = 0;
  Clock::time_point started = Clock::now();
  Clock::time_point drawn{};
  bool onScreen = false;
};
