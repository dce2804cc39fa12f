#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "DiscReader.h"
#include "ReadAhead.h"
#include "SourceFile.h"

// How the files of a folder are read: several at once, one at a time in list order, or as suits
// the device that holds the folder.
enum class ReadingOrder { Auto, Parallel, Sequential };

// The listed files of a disc folder, through the platform's file functions, with the files after
// the one verified read ahead where the device gains from it.
class FolderReader : public DiscReader {
 public:
  // root is CP932, as the platform opens it; shownRoot the same in UTF-8. files are the ones that
  // Verify will be asked for, in that order.
  FolderReader(const std::string& root, const std::string& shownRoot,
               const std::vector<ListedFile>& files, ReadingOrder order);

  FileOutcome Verify(const ListedFile& file, const Progress& progress) override;

 private:
  void ReadAll(SourceFile& file, const Progress& progress, FileOutcome& outcome);

  const std::vector<std::string> paths;
  ReadAhead readAhead;
  std::vector<std::uint8_t> buffer;
  std::size_t next = 0;
};
