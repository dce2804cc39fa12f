#pragma once

#include <windows.h>

#include <string>

// A key path under HKEY_CURRENT_USER; each operation opens the key, reads and closes it again.
// Nothing is ever written.
class RegistryKey {
 public:
  explicit RegistryKey(std::string keyPath);

  bool Exists() const;
  bool QueryValue(const char* valueName, BYTE* buffer, DWORD bufferSize, DWORD& type) const;

 private:
  std::string path;
};
