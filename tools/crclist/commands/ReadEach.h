#pragma once

#include <cstddef>
#include <functional>
#include <vector>

#include "disc/DiscReader.h"
#include "terminal/ProgressLine.h"

// Verifies the files one after another, with the progress line, and hands each outcome to take,
// which says whether to go on; the ordinals shown start at first. False when stopped: a stop
// counts whatever the file's result, as in the program.
bool ReadEach(DiscReader& reader, const std::vector<ListedFile>& files, std::size_t first,
              ProgressLine& progress, const std::function<bool()>& stopRequested,
              const std::function<bool(std::size_t index, const FileOutcome&)>& take);
