#include "verify/Crc32.h"

namespace {

struct ReferenceTable {
  ReferenceTable() { Crc32::BuildTable(entries); }
  std::uint32_t entries[256];
};

const ReferenceTable& Reference() {
  static const ReferenceTable table;
  return table;
}

}  // namespace

void Crc32::BuildTable(std::uint32_t (&table)[256]) {
  for (std::uint32_t n = 0; n < 256; ++n) {
    std::uint32_t value = n;
    for (int round = 0; round < 8; ++round) value = (value & 1u) ? (value >> 1) ^ kPolynomial : value >> 1;
    table[n] = value;
  }
}

std::uint32_t Crc32::Update(std::uint32_t crc, const std::uint8_t* data, std::size_t size) {
  const std::uint32_t* table = Reference().entries;
  for (std::size_t i = 0; i < size; ++i) crc = (crc >> 8) ^ table[(crc ^ data[i]) & 0xFFu];
  return crc;
}

std::uint32_t Crc32::Of(const void* data, std::size_t size) {
  return ~Update(0xFFFFFFFFu, static_cast<const std::uint8_t*>(data), size);
}
