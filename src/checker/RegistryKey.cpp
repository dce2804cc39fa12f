#include "checker/RegistryKey.h"

#include <utility>

namespace {

// Closes the key on every way out.
class OpenKey {
 public:
  explicit OpenKey(const std::string& path) {
    if (RegOpenKeyA(HKEY_CURRENT_USER, path.c_str(), &key) != ERROR_SUCCESS) key = nullptr;
  }
  ~OpenKey() {
    if (key != nullptr) RegCloseKey(key);
  }
  OpenKey(const OpenKey&) = delete;
  OpenKey& operator=(const OpenKey&) = delete;

  HKEY key = nullptr;
};

}  // namespace

RegistryKey::RegistryKey(std::string keyPath) : path(std::move(keyPath)) {}

bool RegistryKey::Exists() const { return OpenKey(path).key != nullptr; }

bool RegistryKey::QueryValue(const char* valueName, BYTE* buffer, DWORD bufferSize, DWORD& type) const {
  const OpenKey open(path);
  if (open.key == nullptr) return false;
  DWORD size = bufferSize;
  return RegQueryValueExA(open.key, valueName, nullptr, &type, buffer, &size) == ERROR_SUCCESS;
}
