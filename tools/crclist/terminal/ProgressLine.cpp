#include "terminal/ProgressLine.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "platform/Platform.h"
#include "terminal/TerminalText.h"

namespace {

constexpr auto kRedrawInterval = std::chrono::milliseconds(100);
// A name squeezed into fewer columns tells nothing.
constexpr std::size_t kShortestName = 8;
const char kEraseLine[] = "\r\x1b[K";

std::string Duration(double seconds) {
  const auto whole = static_cast<unsigned long>(seconds + 0.5);
  char text[32];
  if (whole >= 3600) {
    std::snprintf(text, sizeof text, "%lu:%02lu:%02lu", whole / 3600, whole / 60 % 60, whole % 60);
  } else {
    std::snprintf(text, sizeof text, "%lu:%02lu", whole / 60, whole % 60);
  }
  return text;
}

}  // namespace

ProgressLine::ProgressLine(std::ostream& stream, ProgressTerminal shownOn, std::uint64_t totalBytes,
                           std::size_t totalFiles)
    : out(stream), terminal(std::move(shownOn)), total(totalBytes), fileTotal(totalFiles) {}

void ProgressLine::StartFile(const std::string& path, std::size_t ordinal) {
  file = path;
  fileOrdinal = ordinal;
  fileRead = 0;
  Draw();
}

void ProgressLine::AddBytes(std::uint64_t bytes) {
  fileRead += bytes;
  bytesRead += bytes;
  Draw();
}

void ProgressLine::FinishFile(std::uint64_t size) {
  finished += size;
  fileRead = 0;
}

void ProgressLine::Clear() {
  if (drawnColumns == 0) return;
  if (terminal.escapes) {
    out << kEraseLine;
  } else {
    out << '\r' << std::string(drawnColumns, ' ') << '\r';
  }
  out << std::flush;
  drawnColumns = 0;
}

// "[12/293]  43%  41.2 MB/s  1:05 left"
std::string ProgressLine::Figures(double seconds) const {
  const std::uint64_t done = std::min(finished + fileRead, total);
  const int percent = total == 0 ? 100 : static_cast<int>(done * 100 / total);
  const double speed = seconds > 0 ? static_cast<double>(bytesRead) / seconds : 0;
  const std::string left =
      speed > 0 ? Duration(static_cast<double>(total - done) / speed) + " left" : "";
  char figures[96];
  std::snprintf(figures, sizeof figures, "[%zu/%zu] %3d%% %7.1f MB/s  %s", fileOrdinal, fileTotal,
                percent, speed / 1e6, left.c_str());
  return figures;
}

void ProgressLine::Draw() {
  const Clock::time_point now = Clock::now();
  if (!terminal.shown || (drawnColumns != 0 && now - drawn < kRedrawInterval)) return;
  // The last column is left free: some terminals wrap as soon as it is written.
  const std::size_t width = std::max<std::size_t>(terminal.columns(), 2) - 1;
  std::string line = Figures(std::chrono::duration<double>(now - started).count());
  // The figures are ASCII: their bytes are their columns.
  if (line.size() + 2 + kShortestName <= width) {
    line += "  " + terminal_text::EndWithin(platform::NativePath(file), width - line.size() - 2);
  } else if (line.size() > width) {
    line.resize(width);
  }
  const std::size_t columns = terminal_text::ColumnsOf(line);
  if (terminal.escapes) {
    out << kEraseLine << line;
  } else {
    out << '\r' << line << std::string(drawnColumns > columns ? drawnColumns - columns : 0, ' ');
  }
  out << std::flush;
  drawn = now;
  drawnColumns = std::max<std::size_t>(columns, 1);
}
