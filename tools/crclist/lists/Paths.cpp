#include "lists/Paths.h"


#include "checklist/InfBytes.h"
#include "platform/Platform.h"

namespace paths {
namespace {

bool IsSeparator(char byte) { return byte == '\\' || byte == '/'; }

bool IsLeadByte(char byte) { return inf::IsCp932LeadByte(static_cast<std::uint8_t>(byte)); }

// Whether the last character is a separator: a double-byte character is none.
bool EndsInSeparator(std::string path) {
  bool separator = false;
  inf::EachSingleByte(path, [&](char& byte) { separator = IsSeparator(byte) && &byte == &path.back(); });
  return separator;
}

}  // namespace

bool ToListPath(const std::string& utf8, std::string& cp932, std::string& why) {
  if (platform::Utf8ToCp932(utf8, cp932)) return true;
  why = utf8 + ": the path has no CP932 form, and check-list paths are CP932";
  return false;
}

std::string Join(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  return EndsInSeparator(folder) ? folder + name : folder + "\\" + name;
}

bool ClimbsOut(const std::string& cp932) {
  std::size_t partStart = 0;
  for (std::size_t i = 0; i <= cp932.size(); ++i) {
    if (i < cp932.size() && !IsSeparator(cp932[i])) {
      if (IsLeadByte(cp932[i])) ++i;
      continue;
    }
    if (i - partStart == 2 && cp932.compare(partStart, 2, "..") == 0) return true;
    partStart = i + 1;
  }
  return false;
}

bool LeavesDisc(const std::string& cp932) {
  const bool drive = cp932.size() >= 2 && cp932[1] == ':' && !IsLeadByte(cp932[0]);
  return ClimbsOut(cp932) || (!cp932.empty() && IsSeparator(cp932[0])) || drive;
}

std::size_t CharactersOf(const std::string& cp932) {
  std::size_t characters = 0;
  for (std::size_t i = 0; i < cp932.size(); ++i, ++characters) {
    if (IsLeadByte(cp932[i])) ++i;
  }
  return characters;
}

}  // namespace paths
