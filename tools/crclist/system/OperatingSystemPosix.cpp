#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "system/OperatingSystem.h"

namespace os {

namespace fs = std::filesystem;

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
  return std::vector<std::string>(argv + 1, argv + argc);
}

void PrepareOutput() {}

bool ErrorIsTerminal() { return isatty(STDERR_FILENO) != 0; }

bool ErrorTakesEscapes() {
  const char* term = std::getenv("TERM");
  return term != nullptr && *term != '\0' && std::string(term) != "dumb";
}

std::size_t ErrorColumns() {
  winsize size{};
  if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) != 0 || size.ws_col == 0) return 80;
  return size.ws_col;
}

// A block device's queue says whether it rotates; a partition's queue is its disk's. A file system
// on no block device (network, memory, FUSE) has no such entry.
bool GainsFromReadsInFlight(const std::string& folder) {
  struct stat status {};
  if (stat(fs::u8path(folder).c_str(), &status) != 0) return false;
  std::error_code error;
  fs::path device = fs::canonical("/sys/dev/block/" + std::to_string(major(status.st_dev)) + ":" +
                                      std::to_string(minor(status.st_dev)),
                                  error);
  if (error) return false;
  if (fs::exists(device / "partition", error)) device = device.parent_path();
  std::ifstream rotational(device / "queue" / "rotational");
  char flag = '1';
  return rotational >> flag && flag == '0';
}

// The system starts the reads and returns.
void Prefetch(platform::FileHandle file, std::uint32_t bytes) {
  posix_fadvise(static_cast<int>(file), 0, bytes, POSIX_FADV_WILLNEED);
}

std::string ErrorText(const std::error_code& error) { return error.message(); }

}  // namespace os
