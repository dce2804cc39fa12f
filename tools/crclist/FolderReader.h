#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "DiscReader.h"
#include "ReadAhead.h"

// How the files of a folder are read: several at once, one at a time in list order, or as suits
// the device that holds the folder.
enum class ReadingOrder { Auto, Parallel, Sequential };

// The listed files of a disc folder, through the platform's file functions, read ahead of their
// verification.
class FolderReader : public DiscReader {
 public:
  // root is CP932, as the platform opens it; shownRoot the same in UTF-8. files are the ones that
  // Verify will be asked for, in that order.
  FolderReader(const std::string& root, const std::string& shownRoot,
               const std::vector<ListedFile>& files, ReadingOrder order);

  FileOutcome Verify(const ListedFile& file, const Progress& progress) override;

 private:
  void ReadAll(std::size_t index, const Progress& progress, FileOutcome& outcome);

  ReadAhead reader;
  std::size_t next = 0;
};
