#include "TestFiles.h"

#include <atomic>
#include <fstream>
#include <random>

#include "platform/Platform.h"

namespace {

std::vector<std::string> recorded;

void Record(const std::string& text) { recorded.push_back(text); }

// No test may stop at a message box that nobody answers.
const bool recording = (platform::SetMessageHandler(Record), true);

}  // namespace

TempFolder::TempFolder() : TempFolder(std::filesystem::temp_directory_path()) {}

TempFolder::TempFolder(const std::filesystem::path& base) {
  static std::atomic<unsigned> counter{0};
  const auto tag = std::to_string(std::random_device{}()) + "-" + std::to_string(counter++);
  root = base / ("disksentry-test-" + tag);
  std::filesystem::create_directories(root);
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(root, ignored);
}

std::string TempFolder::Write(const std::string& name, const std::string& bytes) const {
  std::ofstream(root / name, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return PathOf(name);
}

std::string TempFolder::PathOf(const std::string& name) const { return (root / name).string(); }

MessageRecorder::MessageRecorder() { recorded.clear(); }

const std::vector<std::string>& MessageRecorder::Messages() const { return recorded; }

std::string SampleDiscPath(const std::string& relative) {
#ifdef _WIN32
  // Wine shows the Unix root as drive Z:.
  return std::string("Z:") + SAMPLE_DISC_DIR + "\\" + relative;
#else
  return std::string(SAMPLE_DISC_DIR) + "\\" + relative;
#endif
}

std::filesystem::path SparseFileBase() {
  std::error_code error;
  const std::filesystem::path memory = "/dev/shm";
  return std::filesystem::is_directory(memory, error) ? memory
                                                      : std::filesystem::temp_directory_path();
}
