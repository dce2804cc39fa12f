#include "commands/VerifyReport.h"

#include <map>
#include <nlohmann/json.hpp>

#include "checklist/InfBytes.h"
#include "platform/Platform.h"

namespace {

using Json = nlohmann::ordered_json;

constexpr FileStatus kStatuses[] = {FileStatus::Intact,      FileStatus::Missing,
                                    FileStatus::SizeDiffers, FileStatus::CrcDiffers,
                                    FileStatus::Unreadable,  FileStatus::NotReached,
                                    FileStatus::Ambiguous,   FileStatus::Refused};

Json FileJson(const ListedFile& file, const FileOutcome& outcome) {
  Json json = {{"section", inf::SectionName(file.section)},
               {"name", platform::Cp932ToUtf8(file.entry.name)},
               {"size", static_cast<std::uint32_t>(file.entry.size)},
               {"crc", file.entry.crc},
               {"status", VerifyReport::StatusName(outcome.status)}};
  if (outcome.foundSize) json["foundSize"] = *outcome.foundSize;
  if (outcome.foundCrc) json["foundCrc"] = *outcome.foundCrc;
  json["bytesRead"] = outcome.bytesRead;
  json["seconds"] = outcome.seconds;
  if (outcome.status == FileStatus::Unreadable) json["failedAt"] = outcome.failedAt;
  if (!outcome.reason.empty()) json["reason"] = outcome.reason;
  return json;
}

}  // namespace

const char* VerifyReport::StatusName(FileStatus status) {
  switch (status) {
    case FileStatus::Intact: return "intact";
    case FileStatus::Missing: return "missing";
    case FileStatus::SizeDiffers: return "size differs";
    case FileStatus::CrcDiffers: return "CRC-32 differs";
    case FileStatus::Unreadable: return "unreadable";
    case FileStatus::NotReached: return "not reached";
    case FileStatus::Ambiguous: return "ambiguous";
    case FileStatus::Refused: return "refused";
  }
  return "";
}

void VerifyReport::Write(std::ostream& out) const {
  Json json = {{"list", list}, {"root", root}};
  if (!image.format.empty()) json["image"] = {{"format", image.format}, {"tree", image.tree}};
  Json findingsJson = Json::array();
  for (const Finding& finding : findings) {
    findingsJson.push_back(
        {{"at",
          finding.offset == Finding::kWholeFile ? Json() : Json(lines->PositionOf(finding.offset))},
         {"kind", Finding::TagOf(finding.kind)},
         {"message", finding.message}});
  }
  json["findings"] = findingsJson;

  Json filesJson = Json::array();
  std::map<FileStatus, std::size_t> counts;
  std::uint64_t bytesRead = 0;
  for (std::size_t i = 0; i < files.size(); ++i) {
    filesJson.push_back(FileJson(files[i], outcomes[i]));
    ++counts[outcomes[i].status];
    bytesRead += outcomes[i].bytesRead;
  }
  json["files"] = filesJson;

  Json totals = {{"files", files.size()}};
  for (const FileStatus status : kStatuses) totals[StatusName(status)] = counts[status];
  totals["bytesRead"] = bytesRead;
  totals["seconds"] = seconds;
  json["totals"] = totals;
  out << json.dump(2, ' ', false, Json::error_handler_t::replace) << "\n";
}
