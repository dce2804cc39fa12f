#include "disc/sectors/ImageFormat.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

#include "disc/sectors/AlcoholSheet.h"
#include "disc/sectors/CdSector.h"
#include "disc/sectors/CloneCdSheet.h"
#include "disc/sectors/CueSheet.h"
#include "disc/sectors/SectorSource.h"
#include "platform/Platform.h"

namespace image_format {

namespace {

// Descriptors are small; a longer file is an image.
constexpr std::size_t kMostDescriptorBytes = 1 << 20;

// Containers that crclist does not open, by the bytes they start with.
struct Container {
  const char* magic;
  std::size_t size;
  const char* name;
};

constexpr Container kContainers[] = {
    {"MComprHD", 8, "a CHD image (compressed hunks)"},
    {"CISO", 4, "a CSO image (compressed ISO)"},
    {"ZISO", 4, "a ZSO image (compressed ISO)"},
    {"IsZ!", 4, "an ISZ image (compressed ISO)"},
    {"ECM\0", 4, "an ECM file (CD sectors with their error codes stripped)"},
    {"DAA", 3, "a DAA image (a compressed proprietary container)"},
    {"BWT5 STREAM SIGN", 16, "a BlindWrite descriptor (a proprietary format)"},
    {"7z\xBC\xAF\x27\x1C", 6, "a 7z archive"},
    {"\x1F\x8B", 2, "a gzip file"},
    {"\xFD"
     "7zXZ\0",
     6, "an xz file"},
    {"BZh", 3, "a bzip2 file"},
    {"PK\x03\x04", 4, "a zip archive"},
    {"Rar!\x1A\x07", 6, "a RAR archive"},
};

std::string Head(std::ifstream& file, std::size_t size) {
  std::string bytes(size, '\0');
  file.read(&bytes[0], static_cast<std::streamsize>(size));
  bytes.resize(static_cast<std::size_t>(file.gcount()));
  file.clear();
  return bytes;
}

bool StartsWith(const std::string& bytes, const char* magic, std::size_t size) {
  return bytes.size() >= size && std::memcmp(bytes.data(), magic, size) == 0;
}

// Text without NULs whose first word is one that starts a line of a cue sheet, in capitals or not.
bool IsCueSheet(std::string text) {
  if (text.find('\0') != std::string::npos) return false;
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  static const char* const kFirstWords[] = {
      "FILE", "REM", "CATALOG", "TITLE", "PERFORMER", "SONGWRITER", "CDTEXTFILE", "FLAGS", "TRACK"};
  const std::size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return false;
  const std::string word = text.substr(first, text.find_first_of(" \t\r\n", first) - first);
  return std::any_of(std::begin(kFirstWords), std::end(kFirstWords),
                     [&](const char* known) { return word == known; }) &&
         text.find("TRACK") != std::string::npos;
}

std::string WithoutByteOrderMark(const std::string& text) {
  return text.rfind("\xEF\xBB\xBF", 0) == 0 ? text.substr(3) : text;
}

bool Exists(const std::string& path) {
  struct stat status {};
  return stat(path.c_str(), &status) == 0;
}

}  // namespace

std::string Sibling(const std::string& descriptor, const std::string& name) {
  std::string relative = name;
  std::replace(relative.begin(), relative.end(), '\\', '/');
  const std::size_t slash = descriptor.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "" : descriptor.substr(0, slash + 1);
  const std::string path = relative.rfind('/', 0) == 0 ? relative : folder + relative;
  if (Exists(path)) return path;
  const std::string decoded = platform::Cp932ToUtf8(name);
  std::string decodedRelative = decoded;
  std::replace(decodedRelative.begin(), decodedRelative.end(), '\\', '/');
  const std::string other =
      decodedRelative.rfind('/', 0) == 0 ? decodedRelative : folder + decodedRelative;
  return Exists(other) ? other : path;
}

std::string WithExtension(const std::string& descriptor, const std::string& extension) {
  const std::size_t slash = descriptor.find_last_of('/');
  const std::size_t dot = descriptor.find_last_of('.');
  const std::string stem = dot != std::string::npos && (slash == std::string::npos || dot > slash)
                               ? descriptor.substr(0, dot)
                               : descriptor;
  std::string capitals = extension;
  std::transform(capitals.begin(), capitals.end(), capitals.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return !Exists(stem + extension) && Exists(stem + capitals) ? stem + capitals : stem + extension;
}

bool Describe(const std::string& path, DiscLayout& layout, std::string& error) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    error = path + ": cannot be opened: " + std::strerror(errno);
    return false;
  }
  const std::string head = Head(file, 64 << 10);
  for (const Container& container : kContainers) {
    if (StartsWith(head, container.magic, container.size)) {
      error = path + ": is " + container.name + ", which crclist does not read";
      return false;
    }
  }
  file.seekg(0, std::ios::end);
  const auto size = static_cast<std::uint64_t>(file.tellg());
  file.seekg(size >= 12 ? static_cast<std::streamoff>(size - 12) : 0);
  const std::string tail = Head(file, 12);
  if (tail.find("NER5") != std::string::npos || tail.find("NERO") != std::string::npos) {
    error = path + ": is a Nero image (a proprietary format), which crclist does not read";
    return false;
  }
  if (size <= kMostDescriptorBytes) {
    file.seekg(0);
    const std::string whole = Head(file, static_cast<std::size_t>(size));
    if (StartsWith(whole, "MEDIA DESCRIPTOR", 16)) {
      return alcohol_sheet::Read(path, whole, layout, error);
    }
    const std::string text = WithoutByteOrderMark(whole);
    if (text.rfind("[CloneCD]", 0) == 0) return clone_cd_sheet::Read(path, text, layout, error);
    if (IsCueSheet(text)) return cue_sheet::Read(path, text, layout, error);
  }
  constexpr char kSync[] = "\x00\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\x00";
  const bool raw = StartsWith(head, kSync, 12);
  layout.format = raw ? "raw" : "plain";
  layout.tracks = {{path, 0, raw ? cd_sector::kRawSize : SectorSource::kSectorSize, 0, 0,
                    raw ? SectorLayout::Raw : SectorLayout::UserData, 1}};
  return true;
}

}  // namespace image_format
