#pragma once

#include <string>

#include "checklist/CheckList.h"

// All seven members, one per line, byte for byte; entries as name, size and crc.
std::string Describe(const CheckList& list);
// Loads the list at a UTF-8 path through the program's loader.
bool LoadList(const std::string& path, CheckList& list);
