#include "disc/sectors/CloneCdSheet.h"

#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <map>
#include <sstream>

#include "disc/sectors/CdSector.h"
#include "disc/sectors/ImageFormat.h"

namespace clone_cd_sheet {

namespace {

using Section = std::map<std::string, std::string>;

std::string Trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// The sections of an INI file, by name, each with its keys.
std::map<std::string, Section> Sections(const std::string& text) {
  std::map<std::string, Section> sections;
  std::istringstream lines(text);
  std::string line;
  Section* current = nullptr;
  while (std::getline(lines, line)) {
    line = Trimmed(line);
    if (line.size() > 2 && line.front() == '[' && line.back() == ']') {
      current = &sections[line.substr(1, line.size() - 2)];
    } else if (const std::size_t equals = line.find('='); current && equals != std::string::npos) {
      (*current)[Trimmed(line.substr(0, equals))] = Trimmed(line.substr(equals + 1));
    }
  }
  return sections;
}

// A number written in decimal or, with 0x, in hexadecimal.
long Number(const Section& section, const std::string& key, long otherwise) {
  const auto found = section.find(key);
  if (found == section.end() || found->second.empty()) return otherwise;
  return std::strtol(found->second.c_str(), nullptr, 0);
}

struct Entry {
  long session;
  long point;
  long control;
  long start;
};

}  // namespace

bool Read(const std::string& path, const std::string& text, DiscLayout& layout,
          std::string& error) {
  const std::map<std::string, Section> sections = Sections(text);
  std::map<long, Entry> tracks;   // by point, 1 to 99
  std::map<long, long> leadOuts;  // by session
  for (const auto& [name, section] : sections) {
    if (name.rfind("Entry ", 0) != 0) continue;
    const Entry entry{Number(section, "Session", 1), Number(section, "Point", -1),
                      Number(section, "Control", 0), Number(section, "PLBA", -1)};
    if (entry.point >= 1 && entry.point <= 99) tracks[entry.point] = entry;
    if (entry.point == 0xA2) leadOuts[entry.session] = entry.start;
  }
  const std::string image = image_format::WithExtension(path, ".img");
  layout.format = "clonecd";
  for (auto track = tracks.begin(); track != tracks.end(); ++track) {
    const Entry& entry = track->second;
    const auto next = std::next(track);
    const long end = next != tracks.end() && next->second.session == entry.session
                         ? next->second.start
                     : leadOuts.count(entry.session) ? leadOuts[entry.session]
                                                     : -1;
    if (!(entry.control & 0x04)) continue;  // audio
    if (entry.start < 0 || end <= entry.start || end > 0x7FFFFFFF) {
      error = path + ": track " + std::to_string(track->first) +
              " has no start and end that the table of contents gives";
      return false;
    }
    layout.tracks.push_back({image, static_cast<std::uint64_t>(entry.start) * cd_sector::kRawSize,
                             cd_sector::kRawSize, static_cast<std::uint32_t>(entry.start),
                             static_cast<std::uint32_t>(end - entry.start), SectorLayout::Raw,
                             static_cast<int>(entry.session)});
  }
  if (layout.tracks.empty()) error = path + ": its table of contents names no data track";
  return !layout.tracks.empty();
}

}  // namespace clone_cd_sheet
