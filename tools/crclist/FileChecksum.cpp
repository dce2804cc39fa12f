#include "FileChecksum.h"

#include "checklist/BufferedFileReader.h"
#include "verify/Crc32.h"

bool FileChecksum::Compute(const std::string& path, const Progress& progress, FileEntry& entry,
                           std::string& problem) {
  BufferedFileReader reader;
  if (!reader.Open(path.c_str())) {
    problem = "cannot be opened";
    return false;
  }
  std::uint32_t crc = 0xFFFFFFFFu;
  std::uint64_t total = 0;
  for (ByteSpan span = reader.ReadSpan(BufferedFileReader::kBufferSize); span.size != 0;
       span = reader.ReadSpan(BufferedFileReader::kBufferSize)) {
    crc = Crc32::Update(crc, span.data, span.size);
    total += span.size;
    if (!progress(span.size, reader.fileSize)) {
      problem = "stopped";
      return false;
    }
  }
  if (total > 0xFFFFFFFFu) {
    problem = "is 4 GiB or larger, beyond the 32-bit sizes of a check list";
    return false;
  }
  if (total != reader.fileSize) {
    problem = "could not be read to its end";
    return false;
  }
  entry.size = static_cast<std::int32_t>(reader.fileSize);
  entry.crc = ~crc;
  return true;
}
