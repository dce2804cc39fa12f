// Where the descriptors of raw disc images place their data tracks. Images themselves are read
// by the scripted image tests; these rows pin the arithmetic of the descriptors' addresses.

#ifndef _WIN32

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "Workspace.h"
#include "disc/sectors/ImageFormat.h"
#include "disc/sectors/TrackSectors.h"

namespace {

constexpr std::uint32_t kRaw = 2352;

struct Placed {
  std::string file;
  std::uint64_t offset;
  std::uint32_t stride;
  std::uint32_t start;
  std::uint32_t sectors;
};

struct Case {
  const char* what;
  std::map<std::string, std::uint32_t> sectorFiles;  // name: sectors of 2352 bytes
  std::string descriptorName;
  std::string descriptor;
  std::vector<Placed> tracks;    // where none is expected, error holds part of the reason
  std::uint32_t fileSystemStart;
  std::string error;
};

const std::vector<Case> kCases = {
    {"one data track",
     {{"d.bin", 100}},
     "d.cue",
     "FILE \"d.bin\" BINARY\r\n  TRACK 01 MODE1/2352\r\n    INDEX 01 00:00:00\r\n",
     {{"d.bin", 0, kRaw, 0, 100}},
     0,
     ""},
    {"audio after the data ends it where its pregap starts",
     {{"d.bin", 300}},
     "d.cue",
     "FILE \"d.bin\" BINARY\n TRACK 01 MODE1/2352\n  INDEX 01 00:00:00\n TRACK 02 AUDIO\n"
     "  INDEX 00 00:01:00\n  INDEX 01 00:01:02\n",
     {{"d.bin", 0, kRaw, 0, 75}},
     0,
     ""},
    {"audio first, the data track in its own file after a pregap that no file holds",
     {{"a.bin", 300}, {"b.bin", 50}},
     "d.cue",
     "FILE \"a.bin\" BINARY\n TRACK 01 AUDIO\n  INDEX 01 00:00:00\nFILE \"b.bin\" BINARY\n"
     " TRACK 02 MODE2/2352\n  PREGAP 00:02:00\n  INDEX 01 00:00:00\n",
     {{"b.bin", 0, kRaw, 450, 50}},
     450,
     ""},
    {"a data track after audio in one file",
     {{"d.bin", 400}},
     "d.cue",
     "file \"d.bin\" binary\n track 01 audio\n  index 01 00:00:00\n track 02 mode1/2352\n"
     "  index 00 00:04:00\n  index 01 00:04:10\n",
     {{"d.bin", 310 * kRaw, kRaw, 310, 90}},
     310,
     ""},
    {"user data alone",
     {{"d.iso", 10}},
     "d.cue",
     "FILE \"d.iso\" BINARY\n TRACK 01 MODE1/2048\n  INDEX 01 00:00:00\n",
     {{"d.iso", 0, 2048, 0, 10 * kRaw / 2048}},
     0,
     ""},
    {"the last session's data track holds the file system",
     {{"d.bin", 200}, {"e.bin", 100}},
     "d.cue",
     "REM SESSION 01\nFILE \"d.bin\" BINARY\n TRACK 01 MODE1/2352\n  INDEX 01 00:00:00\n"
     "REM SESSION 02\nFILE \"e.bin\" BINARY\n TRACK 02 MODE1/2352\n  INDEX 01 00:00:00\n",
     {{"d.bin", 0, kRaw, 0, 200}, {"e.bin", 0, kRaw, 200, 100}},
     200,
     ""},
    {"CloneCD: the table of contents places the tracks in the .img",
     {{"d.img", 500}},
     "d.ccd",
     "[CloneCD]\nVersion=3\n[Entry 0]\nSession=1\nPoint=0x01\nControl=0x04\nPLBA=0\n"
     "[Entry 1]\nSession=1\nPoint=0x02\nControl=0x00\nPLBA=350\n"
     "[Entry 2]\nSession=1\nPoint=0xa2\nControl=0x00\nPLBA=500\n",
     {{"d.img", 0, kRaw, 0, 350}},
     0,
     ""},
    {"a mode crclist does not read", {}, "d.cue",
     "FILE \"d.bin\" BINARY\n TRACK 01 MODE2/2336\n  INDEX 01 00:00:00\n", {}, 0,
     "line 2: a track of mode MODE2/2336, which crclist does not read"},
    {"a track with no place", {{"d.bin", 10}}, "d.cue",
     "FILE \"d.bin\" BINARY\n TRACK 01 MODE1/2352\n", {}, 0, "track 1 has no INDEX 01"},
    {"a data track after audio files of unknown length", {{"b.bin", 10}}, "d.cue",
     "FILE \"a.wav\" WAVE\n TRACK 01 AUDIO\n  INDEX 01 00:00:00\nFILE \"b.bin\" BINARY\n"
     " TRACK 02 MODE1/2352\n  INDEX 01 00:00:00\n",
     {}, 0, "follows audio in files whose sectors crclist cannot count"},
    {"only audio", {{"a.bin", 10}}, "d.cue",
     "FILE \"a.bin\" BINARY\n TRACK 01 AUDIO\n  INDEX 01 00:00:00\n", {}, 0,
     "names no data track, only audio"},
};

TEST(DiscLayout, DescriptorsPlaceTheDataTracksWhereTheirAddressesSay) {
  for (const Case& row : kCases) {
    SCOPED_TRACE(row.what);
    Workspace work;
    for (const auto& [name, sectors] : row.sectorFiles) {
      work.Write(name, std::string(std::size_t{sectors} * kRaw, '\0'));
    }
    DiscLayout layout;
    std::string error;
    const bool described =
        image_format::Describe(work.Write(row.descriptorName, row.descriptor), layout, error);
    if (!row.error.empty()) {
      EXPECT_FALSE(described);
      EXPECT_NE(error.find(row.error), std::string::npos) << error;
      continue;
    }
    ASSERT_TRUE(described) << error;
    ASSERT_EQ(layout.tracks.size(), row.tracks.size());
    for (std::size_t i = 0; i < row.tracks.size(); ++i) {
      const Track& track = layout.tracks[i];
      const Placed& expected = row.tracks[i];
      EXPECT_EQ(track.file, work.Path(expected.file));
      EXPECT_EQ(track.offset, expected.offset);
      EXPECT_EQ(track.stride, expected.stride);
      EXPECT_EQ(track.start, expected.start);
      EXPECT_EQ(track.sectors, expected.sectors);
    }
    TrackSectors sectors;
    ASSERT_TRUE(sectors.Open(layout, error)) << error;
    EXPECT_EQ(sectors.FileSystemStart(), row.fileSystemStart);
  }
}

TEST(DiscLayout, ContainersAreRefusedByName) {
  Workspace work;
  const std::vector<std::pair<std::string, std::string>> containers = {
      {std::string("MComprHD") + std::string(100, '\0'), "is a CHD image"},
      {std::string("\x1F\x8B\x08", 3) + std::string(100, '\0'), "is a gzip file"},
      {std::string("MEDIA DESCRIPTOR\x02\x00", 18) + std::string(100, '\0'),
       "an MDS descriptor of version 2, which crclist does not read"},
  };
  for (const auto& [bytes, said] : containers) {
    DiscLayout layout;
    std::string error;
    EXPECT_FALSE(image_format::Describe(work.Write("image", bytes), layout, error));
    EXPECT_NE(error.find(said), std::string::npos) << error;
  }
}

}  // namespace

#endif
