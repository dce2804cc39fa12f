#include <io.h>
#include <windows.h>
#include <winioctl.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "platform/WideText.h"
#include "system/OperatingSystem.h"

namespace os {
namespace {

namespace fs = std::filesystem;

unsigned int consoleCodePage = 0;
bool takesEscapes = false;

void RestoreCodePage() { SetConsoleOutputCP(consoleCodePage); }

std::string WideToUtf8(const wchar_t* wide) {
  const int length = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (length <= 1) return std::string();
  std::string utf8(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide, -1, &utf8[0], length, nullptr, nullptr);
  utf8.pop_back();
  return utf8;
}

// False when the volume cannot be asked, as happens without a storage driver that answers.
bool AskSeekPenalty(const std::wstring& drive, bool& seeks) {
  const std::wstring volume = L"\\\\.\\" + drive;
  HANDLE handle = CreateFileW(volume.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  STORAGE_PROPERTY_QUERY query{};
  query.PropertyId = StorageDeviceSeekPenaltyProperty;
  query.QueryType = PropertyStandardQuery;
  DEVICE_SEEK_PENALTY_DESCRIPTOR penalty{};
  DWORD returned = 0;
  const BOOL asked = DeviceIoControl(handle, IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof query,
                                     &penalty, sizeof penalty, &returned, nullptr);
  CloseHandle(handle);
  if (!asked || returned < sizeof penalty) return false;
  seeks = penalty.IncursSeekPenalty != FALSE;
  return true;
}

}  // namespace

// argv holds the ANSI code page's bytes; the wide command line holds every character.
std::vector<std::string> Utf8Arguments(int, char**) {
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(WideToUtf8(wide[i]));
  LocalFree(wide);
  return arguments;
}

void PrepareOutput() {
  consoleCodePage = GetConsoleOutputCP();
  if (consoleCodePage != 0 && SetConsoleOutputCP(CP_UTF8)) std::atexit(RestoreCodePage);
  const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
  DWORD mode = 0;
  takesEscapes = GetConsoleMode(error, &mode) &&
                 SetConsoleMode(error, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
}

bool ErrorIsTerminal() { return _isatty(_fileno(stderr)) != 0; }

bool ErrorTakesEscapes() { return takesEscapes; }

std::size_t ErrorColumns() {
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (!GetConsoleScreenBufferInfo(GetStdHandle(STD_ERROR_HANDLE), &info)) return 80;
  return static_cast<std::size_t>(info.srWindow.Right - info.srWindow.Left + 1);
}

// Only a local disk that says it has no seek penalty; a CD-ROM drive, a network or memory drive,
// and a disk that cannot be asked read one file at a time.
bool GainsFromReadsInFlight(const std::string& folder) {
  std::error_code error;
  const std::wstring drive = fs::absolute(fs::u8path(folder), error).root_name().wstring();
  if (GetDriveTypeW((drive + L"\\").c_str()) != DRIVE_FIXED) return false;
  bool seeks = true;
  return AskSeekPenalty(drive, seeks) && !seeks;
}

// Without a way to ask for them, the bytes are read and dropped, which leaves them in the cache.
void Prefetch(platform::FileHandle file, std::uint32_t bytes) {
  constexpr std::uint32_t kReadSize = 1 << 20;
  const std::unique_ptr<std::uint8_t[]> buffer(new std::uint8_t[kReadSize]);
  std::uint32_t received = 0;
  for (std::uint32_t read = 0; read < bytes; read += received) {
    if (!platform::ReadFromFile(file, buffer.get(), kReadSize, received) || received == 0) return;
  }
}

std::string ErrorText(const std::error_code& error) {
  if (error.category() != std::system_category()) return error.message();
  return platform::ErrorText(static_cast<unsigned long>(error.value()));
}

}  // namespace os
