#pragma once

#include <string>

#include "checklist/BufferedFileReader.h"

// Where a verification's bytes come from: a file through the program's reader, or whatever a
// tool reads a disc with.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // The next bytes, valid until the next call; none at the end. False when a read failed, with
  // the system's reason.
  virtual bool Read(ByteSpan& bytes, std::string& reason) = 0;
};
