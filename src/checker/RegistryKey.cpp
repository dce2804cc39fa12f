#include "checker/RegistryKey.h"

#include <utility>

#include "platform/WideText.h"

namespace {

// Closes the key on every way out.
class OpenKey {
 public:
  explicit OpenKey(const std::string& path) {
    if (RegOpenKeyW(HKEY_CURRENT_USER, platform::Wide(path.c_str()).c_str(), &key) !=
        ERROR_SUCCESS) {
      key = nullptr;
    }
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

bool RegistryKey::QueryValue(const std::string& valueName, DWORD& type,
                             std::vector<BYTE>& data) const {
  const OpenKey open(path);
  if (open.key == nullptr) return false;
  const std::wstring name = platform::Wide(valueName.c_str());
  DWORD size = 0;
  const auto query = [&](BYTE* into) {
    return RegQueryValueExW(open.key, name.c_str(), nullptr, &type, into, &size) == ERROR_SUCCESS;
  };
  if (!query(nullptr)) return false;
  data.resize(size);
  // A value that grew since its size was asked fails here, as too large for any buffer would.
  if (!query(data.data())) return false;
  data.resize(size);
  return true;
}
