#include "disc/sectors/CueSheet.h"

#include <sys/stat.h>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <sstream>
#include <vector>

#include "disc/sectors/CdSector.h"
#include "disc/sectors/ImageFormat.h"
#include "disc/sectors/SectorSource.h"

namespace cue_sheet {

namespace {

struct CueTrack {
  int number = 0;
  std::string mode;
  std::optional<std::uint32_t> index0;
  std::optional<std::uint32_t> index1;
  std::uint32_t pregap = 0;
  std::uint32_t postgap = 0;
  int session = 1;
};

struct CueFile {
  std::string path;
  std::string type;
  std::vector<CueTrack> tracks;
};

// The words of a line; a quoted word may hold spaces.
std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  for (std::size_t i = 0; i < line.size();) {
    if (line[i] == ' ' || line[i] == '\t' || line[i] == '\r') {
      ++i;
    } else if (line[i] == '"') {
      const std::size_t end = line.find('"', i + 1);
      words.push_back(line.substr(i + 1, end == std::string::npos ? end : end - i - 1));
      i = end == std::string::npos ? line.size() : end + 1;
    } else {
      std::size_t end = i;
      while (end < line.size() && line[end] != ' ' && line[end] != '\t' && line[end] != '\r') ++end;
      words.push_back(line.substr(i, end - i));
      i = end;
    }
  }
  return words;
}

// Cue sheets are written in capitals, but not by every tool.
std::string Upper(std::string word) {
  for (char& c : word) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return word;
}

// mm:ss:ff as frames.
std::optional<std::uint32_t> Frames(const std::string& time) {
  unsigned minutes = 0, seconds = 0, frames = 0;
  char end = 0;
  if (std::sscanf(time.c_str(), "%u:%u:%u%c", &minutes, &seconds, &frames, &end) != 3 ||
      seconds >= 60 || frames >= 75 || minutes > 9999) {
    return std::nullopt;
  }
  return (minutes * 60 + seconds) * 75 + frames;
}

// The bytes a sector of that mode takes in the file, 0 when crclist does not read the mode.
std::uint32_t SectorBytes(const std::string& mode) {
  if (mode == "AUDIO" || mode == "MODE1/2352" || mode == "MODE2/2352") return cd_sector::kRawSize;
  if (mode == "MODE1/2048") return SectorSource::kSectorSize;
  return 0;
}

bool Parse(const std::string& path, const std::string& text, std::vector<CueFile>& files,
           std::string& error) {
  std::istringstream lines(text);
  std::string line;
  int session = 1;
  for (int number = 1; std::getline(lines, line); ++number) {
    const std::vector<std::string> words = Words(line);
    if (words.empty()) continue;
    const std::string keyword = Upper(words[0]);
    const std::string where = path + ", line " + std::to_string(number) + ": ";
    if (keyword == "REM" && words.size() >= 3 && Upper(words[1]) == "SESSION") {
      session = std::atoi(words[2].c_str());
    } else if (keyword == "FILE" && words.size() >= 3) {
      files.push_back({image_format::Sibling(path, words[1]), Upper(words[2]), {}});
    } else if (keyword == "TRACK" && words.size() >= 3) {
      if (files.empty()) {
        error = where + "a TRACK before any FILE";
        return false;
      }
      const std::string mode = Upper(words[2]);
      if (SectorBytes(mode) == 0) {
        error = where + "a track of mode " + words[2] + ", which crclist does not read";
        return false;
      }
      files.back().tracks.push_back({std::atoi(words[1].c_str()), mode, {}, {}, 0, 0, session});
    } else if (keyword == "INDEX" || keyword == "PREGAP" || keyword == "POSTGAP") {
      const std::optional<std::uint32_t> frames = Frames(words.back());
      if (files.empty() || files.back().tracks.empty() || !frames || words.size() < 2) {
        error = where + "\"" + line + "\" does not say where a track lies";
        return false;
      }
      CueTrack& track = files.back().tracks.back();
      const int index = keyword == "INDEX" && words.size() >= 3 ? std::atoi(words[1].c_str()) : -1;
      if (keyword == "PREGAP") track.pregap = *frames;
      if (keyword == "POSTGAP") track.postgap = *frames;
      if (index == 0) track.index0 = frames;
      if (index == 1) track.index1 = frames;
    }
  }
  return true;
}

std::optional<std::uint64_t> SizeOf(const std::string& path) {
  struct stat status {};
  if (stat(path.c_str(), &status) != 0) return std::nullopt;
  return static_cast<std::uint64_t>(status.st_size);
}

}  // namespace

bool Read(const std::string& path, const std::string& text, DiscLayout& layout,
          std::string& error) {
  std::vector<CueFile> files;
  if (!Parse(path, text, files, error)) return false;
  layout.format = "cue";
  // The address of the current file's first sector; gaps that no file holds come on top.
  std::uint64_t fileStart = 0;
  std::uint64_t gaps = 0;
  bool uncounted = false;
  for (const CueFile& file : files) {
    const bool binary = file.type == "BINARY" || file.type == "MOTOROLA";
    const std::optional<std::uint64_t> size = binary ? SizeOf(file.path) : std::nullopt;
    std::uint64_t fileSectors = 0;
    for (std::size_t i = 0; i < file.tracks.size(); ++i) {
      const CueTrack& track = file.tracks[i];
      const std::uint32_t bytes = SectorBytes(track.mode);
      if (!track.index1) {
        error = path + ": track " + std::to_string(track.number) + " has no INDEX 01";
        return false;
      }
      if (size) fileSectors = *size / bytes;
      gaps += track.pregap;
      const bool data = track.mode != "AUDIO";
      if (data && !binary) {
        error = path + ": its data track " + std::to_string(track.number) + " is in a " +
                file.type + " file; crclist reads data tracks from BINARY files";
        return false;
      }
      if (data && uncounted) {
        error = path + ": its data track " + std::to_string(track.number) +
                " follows audio in files whose sectors crclist cannot count";
        return false;
      }
      if (bytes != SectorBytes(file.tracks[0].mode)) {
        error = path + ": " + file.path + " holds tracks of different sector sizes";
        return false;
      }
      if (data && !size) {
        // Opening it names what is wrong with it.
        layout.tracks.push_back({file.path, 0, bytes, 0, 0, SectorLayout::Raw, track.session});
        continue;
      }
      if (data) {
        const std::uint64_t end =
            i + 1 < file.tracks.size()
                ? file.tracks[i + 1].index0.value_or(*file.tracks[i + 1].index1)
                : fileSectors;
        const std::uint64_t start = fileStart + gaps + *track.index1;
        if (end <= *track.index1 || start + (end - *track.index1) > 0xFFFFFFFFu) {
          error = path + ": track " + std::to_string(track.number) + " holds no sectors";
          return false;
        }
        layout.tracks.push_back(
            {file.path, std::uint64_t{*track.index1} * bytes, bytes,
             static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(end - *track.index1),
             bytes == cd_sector::kRawSize ? SectorLayout::Raw : SectorLayout::UserData,
             track.session});
      }
      gaps += track.postgap;
    }
    uncounted = uncounted || !size;
    fileStart += fileSectors;
  }
  if (layout.tracks.empty()) error = path + ": the cue sheet names no data track, only audio";
  return !layout.tracks.empty();
}

}  // namespace cue_sheet
