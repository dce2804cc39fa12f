#pragma once

#include "checklist/GlobalBuffer.h"

// A whole file in one block, read with a single read.
class FileImage : public GlobalBuffer {
 public:
  bool LoadFile(const char* path);
};
