#include <windows.h>

#include <cstring>
#include <cwchar>
#include <string>

#include "checklist/InfBytes.h"
#include "platform/Platform.h"
#include "platform/WideText.h"

namespace platform {
namespace {

constexpr UINT kCp932 = 932;

}  // namespace

std::wstring Wide(const char* cp932) {
  const int length = static_cast<int>(std::strlen(cp932));
  if (length == 0) return std::wstring();
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  wide.resize(static_cast<std::size_t>(
      MultiByteToWideChar(kCp932, 0, cp932, length, &wide[0], static_cast<int>(wide.size()))));
  return wide;
}

std::string Cp932(const std::wstring& wide) {
  if (wide.empty()) return std::string();
  const int length = static_cast<int>(wide.size());
  std::string bytes(wide.size() * 2, '\0');
  bytes.resize(static_cast<std::size_t>(
      WideCharToMultiByte(kCp932, 0, wide.data(), length, &bytes[0], static_cast<int>(bytes.size()),
                          nullptr, nullptr)));
  return bytes;
}

FileHandle OpenForReading(const wchar_t* path) {
  // Windows refuses a path of MAX_PATH characters or more (the limit counts the NUL) to a program
  // that has not declared itself aware of long paths, counted in UTF-16 and not in CP932 bytes.
  // Wine's W functions take any length and its A functions one character more, so the rule is
  // kept here.
  if (std::wcslen(path) >= MAX_PATH) {
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return kNoFile;
  }
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  return file == INVALID_HANDLE_VALUE ? kNoFile : reinterpret_cast<FileHandle>(file);
}

FileHandle OpenForReading(const char* path) { return OpenForReading(Wide(path).c_str()); }

bool GetFileSize32(FileHandle file, std::uint32_t& size) {
  size = GetFileSize(reinterpret_cast<HANDLE>(file), nullptr);
  return size != INVALID_FILE_SIZE;
}

bool ReadFromFile(FileHandle file, void* buffer, std::uint32_t count, std::uint32_t& received) {
  DWORD got = 0;
  const BOOL ok = ReadFile(reinterpret_cast<HANDLE>(file), buffer, count, &got, nullptr);
  received = got;
  return ok != FALSE;
}

bool CloseFile(FileHandle file) { return CloseHandle(reinterpret_cast<HANDLE>(file)) != FALSE; }

std::string LastErrorText() { return ErrorText(GetLastError()); }

std::string ErrorText(unsigned long code) {
  wchar_t text[512];
  DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                code, 0, text, sizeof text / sizeof text[0], nullptr);
  while (length > 0 && (text[length - 1] == L'\r' || text[length - 1] == L'\n')) --length;
  if (length == 0) return "system error " + std::to_string(code);
  std::string utf8(length * 4, '\0');
  utf8.resize(static_cast<std::size_t>(WideCharToMultiByte(
      CP_UTF8, 0, text, static_cast<int>(length), &utf8[0], static_cast<int>(utf8.size()), nullptr,
      nullptr)));
  return utf8;
}

// Windows takes the check list's backslashes as they are.
std::string NativePath(const std::string& path) { return Cp932ToUtf8(path); }

MemoryHandle AllocateMemory(std::size_t bytes) { return GlobalAlloc(GMEM_MOVEABLE, bytes); }

MemoryHandle ReallocateMemory(MemoryHandle block, std::size_t bytes) {
  return GlobalReAlloc(block, bytes, GMEM_MOVEABLE);
}

void* LockMemory(MemoryHandle block) { return GlobalLock(block); }

bool UnlockMemory(MemoryHandle block) { return GlobalUnlock(block) != FALSE; }

bool FreeMemory(MemoryHandle block) { return GlobalFree(block) == nullptr; }

void ShowErrorOnPlatform(const std::string& text) {
  MessageBoxW(nullptr, Wide(text.c_str()).c_str(), nullptr, MB_ICONERROR);
}

// Character by character, so that one bad byte becomes U+FFFD as on POSIX.
std::string Cp932ToUtf8(const std::string& text) {
  std::string utf8;
  for (std::size_t i = 0; i < text.size();) {
    const int length =
        inf::IsCp932LeadByte(static_cast<std::uint8_t>(text[i])) && i + 1 < text.size() ? 2 : 1;
    wchar_t wide = 0;
    char bytes[4];
    const int converted =
        MultiByteToWideChar(kCp932, MB_ERR_INVALID_CHARS, text.data() + i, length, &wide, 1) == 1
            ? WideCharToMultiByte(CP_UTF8, 0, &wide, 1, bytes, sizeof bytes, nullptr, nullptr)
            : 0;
    if (converted > 0) {
      utf8.append(bytes, static_cast<std::size_t>(converted));
      i += static_cast<std::size_t>(length);
    } else {
      utf8 += "\xEF\xBF\xBD";
      ++i;
    }
  }
  return utf8;
}

bool Utf8ToCp932(const std::string& text, std::string& cp932) {
  if (text.empty()) {
    cp932.clear();
    return true;
  }
  const int textLength = static_cast<int>(text.size());
  const int wideLength =
      MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), textLength, nullptr, 0);
  if (wideLength == 0) return false;
  std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), textLength, &wide[0], wideLength);
  BOOL usedDefault = FALSE;
  const int length = WideCharToMultiByte(kCp932, WC_NO_BEST_FIT_CHARS, wide.data(), wideLength,
                                         nullptr, 0, nullptr, &usedDefault);
  if (length == 0 || usedDefault) return false;
  std::string bytes(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(kCp932, WC_NO_BEST_FIT_CHARS, wide.data(), wideLength, &bytes[0], length,
                      nullptr, nullptr);
  if (Cp932ToUtf8(bytes) != text) return false;
  cp932 = bytes;
  return true;
}

}  // namespace platform
