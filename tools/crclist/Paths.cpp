#include "Paths.h"

#include "platform/Platform.h"

namespace paths {
namespace {

bool IsCp932LeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool EndsInSeparator(const std::string& path) {
  bool separator = false;
  for (std::size_t i = 0; i < path.size(); ++i) {
    separator = path[i] == '\\' || path[i] == '/';
    if (IsCp932LeadByte(static_cast<unsigned char>(path[i]))) ++i;
  }
  return separator;
}

}  // namespace

bool ToListPath(const std::string& utf8, std::string& cp932, std::ostream& err) {
  if (platform::Utf8ToCp932(utf8, cp932)) return true;
  err << "crclist: " << utf8 << ": the path has no CP932 form, and check-list paths are CP932\n";
  return false;
}

std::string Join(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  return EndsInSeparator(folder) ? folder + name : folder + "\\" + name;
}

}  // namespace paths
