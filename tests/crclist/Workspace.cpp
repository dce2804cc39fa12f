#include "Workspace.h"

#include <atomic>
#include <fstream>
#include <random>
#include <sstream>

#include "platform/Platform.h"

namespace {

void Ignore(const std::string&) {}

// No test may stop at a message box that nobody answers.
const bool quiet = (platform::SetMessageHandler(Ignore), true);

}  // namespace

Workspace::Workspace(const std::filesystem::path& base) {
  static std::atomic<unsigned> counter{0};
  const auto tag = std::to_string(std::random_device{}()) + "-" + std::to_string(counter++);
  root = base / ("crclist-test-" + tag);
  std::filesystem::create_directories(root);
}

Workspace::~Workspace() {
  std::error_code ignored;
  std::filesystem::remove_all(root, ignored);
}

std::string Workspace::Write(const std::string& name, const std::string& bytes) const {
  const std::filesystem::path path = Native(name);
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return Path(name);
}

std::string Workspace::Read(const std::string& name) const {
  std::ostringstream bytes;
  bytes << std::ifstream(Native(name), std::ios::binary).rdbuf();
  return bytes.str();
}

std::string Workspace::Path(const std::string& name) const { return Native(name).u8string(); }

bool Workspace::Exists(const std::string& name) const {
  return std::filesystem::exists(Native(name));
}

std::filesystem::path Workspace::Native(const std::string& name) const {
  return name.empty() ? root : root / std::filesystem::u8path(name);
}

std::string SampleDisc(const std::string& name) {
#ifdef _WIN32
  // Wine shows the Unix root as drive Z:.
  const std::string disc = std::string("Z:") + SAMPLE_DISC_DIR;
#else
  const std::string disc = SAMPLE_DISC_DIR;
#endif
  return name.empty() ? disc : disc + "/" + name;
}
