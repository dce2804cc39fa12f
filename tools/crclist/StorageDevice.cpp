#include "StorageDevice.h"

#include <filesystem>
#include <fstream>

#ifdef _WIN32
#include <windows.h>
#include <winioctl.h>
#else
#include <sys/stat.h>
#include <sys/sysmacros.h>
#endif

namespace fs = std::filesystem;

#ifdef _WIN32

namespace {

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

bool StorageDevice::Seeks(const std::string& folder) {
  std::error_code error;
  const std::wstring drive = fs::absolute(fs::u8path(folder), error).root_name().wstring();
  switch (GetDriveTypeW((drive + L"\\").c_str())) {
    case DRIVE_CDROM: return true;
    case DRIVE_REMOTE:
    case DRIVE_RAMDISK: return false;
    default: {
      bool seeks = true;
      return !AskSeekPenalty(drive, seeks) || seeks;
    }
  }
}

#else

// A block device's queue says whether it rotates; a partition's queue is its disk's. A file system
// on no block device (network, memory, FUSE) has no such entry.
bool StorageDevice::Seeks(const std::string& folder) {
  struct stat status {};
  if (stat(fs::u8path(folder).c_str(), &status) != 0) return false;
  std::error_code error;
  fs::path device = fs::canonical("/sys/dev/block/" + std::to_string(major(status.st_dev)) + ":" +
                                      std::to_string(minor(status.st_dev)),
                                  error);
  if (error) return false;
  if (fs::exists(device / "partition", error)) device = device.parent_path();
  std::ifstream rotational(device / "queue" / "rotational");
  char flag = '0';
  return rotational >> flag && flag == '1';
}

#endif
