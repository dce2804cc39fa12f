#include "commands/ShowCommand.h"

#include <nlohmann/json.hpp>
#include <utility>
#include <vector>

#include "checklist/CheckList.h"
#include "disc/DiscImage.h"
#include "lists/InvalidTokenLog.h"
#include "lists/ListFile.h"
#include "lists/Text.h"

namespace {

using Json = nlohmann::ordered_json;

std::string Utf8(const std::string& cp932) { return platform::Cp932ToUtf8(cp932); }

// A control byte would vanish or move the cursor on a terminal.
std::string Printable(const std::string& token) {
  const auto byte = static_cast<unsigned char>(token[0]);
  if (token.size() == 1 && (byte < 0x20 || byte == 0x7F)) return text::Hex(byte, 2);
  return Utf8(token);
}

void PrintEntries(std::ostream& out, const char* member, const std::vector<FileEntry>& entries) {
  out << member << ": " << entries.size() << "\n";
  for (const FileEntry& entry : entries) {
    out << "  " << Utf8(entry.name) << "  " << entry.size << "  " << text::Hex(entry.crc, 8)
        << "\n";
  }
}

void PrintLines(std::ostream& out, const char* member, const std::vector<std::string>& lines) {
  out << member << ": " << lines.size() << "\n";
  for (const std::string& line : lines) out << "  " << Utf8(line) << "\n";
}

void PrintText(std::ostream& out, bool loaded, const CheckList& list,
               const std::vector<std::string>& invalidTokens) {
  for (const std::string& token : invalidTokens) {
    out << "invalid token: " << Printable(token) << "\n";
  }
  out << "loaded: " << (loaded ? "yes" : "no") << "\n";
  out << "title: " << Utf8(list.title) << "\n";
  out << "gameKey: " << Utf8(list.gameKey) << "\n";
  PrintEntries(out, "regFiles", list.regFiles);
  PrintEntries(out, "cdFiles", list.cdFiles);
  PrintEntries(out, "gameDataFiles", list.gameDataFiles);
  PrintLines(out, "messageLines", list.messageLines);
  PrintLines(out, "driveInfo", list.driveInfo);
}

Json EntriesJson(const std::vector<FileEntry>& entries) {
  Json array = Json::array();
  for (const FileEntry& entry : entries) {
    array.push_back({{"name", Utf8(entry.name)}, {"size", entry.size}, {"crc", entry.crc}});
  }
  return array;
}

Json LinesJson(const std::vector<std::string>& lines) {
  Json array = Json::array();
  for (const std::string& line : lines) array.push_back(Utf8(line));
  return array;
}

void PrintJson(std::ostream& out, bool loaded, const CheckList& list,
               const std::vector<std::string>& invalidTokens) {
  Json json;
  json["loaded"] = loaded;
  json["title"] = Utf8(list.title);
  json["gameKey"] = Utf8(list.gameKey);
  json["regFiles"] = EntriesJson(list.regFiles);
  json["cdFiles"] = EntriesJson(list.cdFiles);
  json["gameDataFiles"] = EntriesJson(list.gameDataFiles);
  json["messageLines"] = LinesJson(list.messageLines);
  json["driveInfo"] = LinesJson(list.driveInfo);
  json["invalidTokens"] = LinesJson(invalidTokens);
  out << json.dump(2, ' ', false, Json::error_handler_t::replace) << "\n";
}

}  // namespace

ShowCommand::ShowCommand(ShowOptions chosen) : options(std::move(chosen)) {}

CommandOutcome ShowCommand::Run(std::ostream& out) const {
  std::string bytes;
  std::string problem;
  const std::string shown = options.image.empty() ? options.file : options.image + ": crclist.INF";
  if (!options.image.empty()) {
    if (!DiscImage::ReadFile(options.image, "crclist.INF", bytes, problem)) return {2, problem};
  } else if (options.file.empty()) {
    return {2, "FILE is required: the check list, or --image with the disc's image"};
  } else if (!list_file::Read(options.file, bytes, problem)) {
    return {2, options.file + ": " + problem};
  }
  const InvalidTokenLog invalidTokens;
  CheckList list;
  const bool loaded = list.LoadBytes(bytes);
  if (options.json) {
    PrintJson(out, loaded, list, invalidTokens.Tokens());
  } else {
    PrintText(out, loaded, list, invalidTokens.Tokens());
  }
  if (bytes.empty()) return {1, shown + ": " + list_file::kEmptyList};
  return {loaded ? 0 : 1, ""};
}
