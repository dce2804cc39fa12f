#include "Lists.h"

#include <cstdio>

#include "platform/Platform.h"

namespace {

std::string Entries(const std::vector<FileEntry>& entries) {
  std::string text;
  for (const FileEntry& entry : entries) {
    char numbers[32];
    std::snprintf(numbers, sizeof numbers, " %ld %08lX", static_cast<long>(entry.size),
                  static_cast<unsigned long>(entry.crc));
    text += " (" + entry.name + numbers + ")";
  }
  return text;
}

std::string Lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += " (" + line + ")";
  return text;
}

}  // namespace

std::string Describe(const CheckList& list) {
  return "title (" + list.title + ")\ngameKey (" + list.gameKey + ")\nregFiles" +
         Entries(list.regFiles) + "\ncdFiles" + Entries(list.cdFiles) + "\ngameDataFiles" +
         Entries(list.gameDataFiles) + "\nmessageLines" + Lines(list.messageLines) + "\ndriveInfo" +
         Lines(list.driveInfo) + "\n";
}

bool LoadList(const std::string& path, CheckList& list) {
  std::string listPath;
  return platform::Utf8ToCp932(path, listPath) && list.Load(listPath.c_str());
}
