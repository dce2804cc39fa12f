#pragma once

#include <windows.h>

#include <string>
#include <vector>

// A key path under HKEY_CURRENT_USER; each operation opens the key, reads and closes it again.
// Nothing is ever written. Names are CP932.
class RegistryKey {
 public:
  explicit RegistryKey(std::string keyPath);

  bool Exists() const;
  // The value's type and its data as stored: a string as UTF-16, with whatever NULs it holds.
  bool QueryValue(const std::string& valueName, DWORD& type, std::vector<BYTE>& data) const;

 private:
  std::string path;
};
