#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Lines and columns of a file's bytes, both from 1. CR LF, LF and CR each end a line. Columns
// count bytes, which in CP932 is also the width on screen.
class LineIndex {
 public:
  explicit LineIndex(const std::string& bytes);

  std::uint32_t LineOf(std::uint32_t offset) const;
  // "line:column"
  std::string PositionOf(std::uint32_t offset) const;

 private:
  std::vector<std::uint32_t> lineStarts;
};
