#pragma once

#include <string>

#include "checklist/GlobalBuffer.h"

// A whole file in one block, read with a single read.
class FileImage : public GlobalBuffer {
 public:
  bool LoadFile(const char* path);
  // The same for bytes already read; false for none, as for an empty file.
  bool LoadBytes(const std::string& bytes);
};
