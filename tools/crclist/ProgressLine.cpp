#include "ProgressLine.h"

#include <cstdio>

namespace {

constexpr auto kRedrawInterval = std::chrono::milliseconds(100);
constexpr std::size_t kShownCharacters = 40;
const char kEraseLine[] = "\r\x1b[K";

bool IsUtf8Continuation(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }

// The end of a long name, which tells most about the file, in at most kShownCharacters.
std::string Shortened(const std::string& name) {
  std::size_t characters = 0;
  for (std::size_t i = name.size(); i > 0; --i) {
    if (IsUtf8Continuation(name[i - 1])) continue;
    if (++characters > kShownCharacters) return "..." + name.substr(i);
  }
  return name;
}

}  // namespace

ProgressLine::ProgressLine(std::ostream& stream, bool isShown) : out(stream), shown(isShown) {}

void ProgressLine::StartFile(const std::string& name, std::size_t ordinal, std::size_t total) {
  file = Shortened(name);
  fileOrdinal = ordinal;
  fileTotal = total;
  filePercent = 0;
  Draw();
}

void ProgressLine::SetPercent(int percent) {
  filePercent = percent;
  Draw();
}

void ProgressLine::AddBytes(std::uint64_t bytes) {
  bytesRead += bytes;
  Draw();
}

void ProgressLine::Clear() {
  if (!onScreen) return;
  out << kEraseLine << std::flush;
  onScreen = false;
}

void ProgressLine::Draw() {
  const Clock::time_point now = Clock::now();
  if (!shown || (onScreen && now - drawn < kRedrawInterval)) return;
  const double seconds = std::chrono::duration<double>(now - started).count();
  char figures[64];
  std::snprintf(figures, sizeof figures, "[%zu/%zu] %3d%% %7.1f MB/s  ", fileOrdinal, fileTotal,
                filePercent, seconds > 0 ? static_cast<double>(bytesRead) / seconds / 1e6 : 0.0);
  out << kEraseLine << figures << file << std::flush;
  drawn = now;
  onScreen = true;
}
