#include "lists/LineIndex.h"

#include <algorithm>

LineIndex::LineIndex(const std::string& bytes) : lineStarts{0} {
  for (std::uint32_t i = 0; i < bytes.size(); ++i) {
    const bool crBeforeLf = bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n';
    if ((bytes[i] == '\n' || bytes[i] == '\r') && !crBeforeLf) lineStarts.push_back(i + 1);
  }
}

std::uint32_t LineIndex::LineOf(std::uint32_t offset) const {
  return static_cast<std::uint32_t>(std::upper_bound(lineStarts.begin(), lineStarts.end(), offset) -
                                    lineStarts.begin());
}

std::string LineIndex::PositionOf(std::uint32_t offset) const {
  const std::uint32_t line = LineOf(offset);
  return std::to_string(line) + ":" + std::to_string(offset - lineStarts[line - 1] + 1);
}
