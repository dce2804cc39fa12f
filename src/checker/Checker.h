#pragma once

#include <cstdint>
#include <string>

class CheckList;
class DrawingSurface;
class MainWindow;
class ProgressDialog;
struct FileEntry;

// Carries out the checks: the verification of each file, the disc and installed-data runs, and
// the flow that ties them to the user's choices. Everything runs on the one thread, pumping the
// main window's messages while it waits or reads.
class Checker {
 public:
  static constexpr std::size_t kPathBufferSize = 512;

  explicit Checker(MainWindow& mainWindow);
  ~Checker();
  Checker(const Checker&) = delete;
  Checker& operator=(const Checker&) = delete;

  // The whole check; true when it ended normally, which makes the exit code 1.
  bool RunChecks();

  bool RunMediaCheck(const CheckList& list);
  bool SelectDrive(std::string& driveRoot, const CheckList& list);
  bool RunInstalledCheck(const CheckList& list);
  bool RegistryKeyExists(const std::string& keyPath);
  // The installed file's path that a value names, as a Japanese system's A functions leave it
  // in a buffer of kPathBufferSize '0' characters with a NUL of its own behind it, but in the
  // value's own letters: a string value is measured by its CP932 length and ends at its first
  // NUL, which the A function appends where the data has none; any other value is taken as its
  // bytes, with the '0's behind them when they hold no NUL.
  bool ReadRegistryString(const std::string& valueName, const std::string& keyPath,
                          std::wstring& path);
  bool Confirm(const std::string& text, const CheckList& list);

  // True only when the file opened and has the expected size and CRC-32; an open or size
  // failure is shown in a box, a CRC mismatch is left to the caller.
  bool VerifyFile(const wchar_t* path, std::int32_t expectedSize, std::uint32_t expectedCrc,
                  ProgressDialog& progress);

 private:
  enum class FileOutcome { Verified, Failed, Interrupted };

  FileOutcome VerifyListedFile(const std::wstring& path, const FileEntry& entry, int ordinal,
                               int total, ProgressDialog& progress);
  // Pumps and sleeps until the flag is set; false when the program is quitting.
  bool WaitFor(const bool& flag);
  bool OfferInstalledCheck(const CheckList& list);

  MainWindow& window;
  DrawingSurface* surface;
};
