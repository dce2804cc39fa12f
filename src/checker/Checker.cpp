#include "checker/Checker.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "app/DrawingSurface.h"
#include "app/MainWindow.h"
#include "checker/RegistryKey.h"
#include "checklist/BufferedFileReader.h"
#include "checklist/CheckList.h"
#include "checklist/InfBytes.h"
#include "platform/WideText.h"
#include "texts/Texts.h"
#include "ui/DriveSelectionDialog.h"
#include "ui/ModeChoiceDialog.h"
#include "ui/ProgressDialog.h"
#include "verify/FileVerification.h"

namespace {

constexpr const char* kToolName = "Disksentry";

// A caption of null is the platform's default one.
int ShowBox(HWND owner, const std::wstring& text, const char* caption, UINT style) {
  return MessageBoxW(owner, text.c_str(),
                     caption == nullptr ? nullptr : platform::Wide(caption).c_str(), style);
}

int ShowBox(HWND owner, const char* text, const std::string& caption, UINT style) {
  return ShowBox(owner, platform::Wide(text), caption.c_str(), style);
}

// Windows keeps a DS_SYSMODAL dialog, such as the progress dialog, above every window that is not
// topmost (Wine does not), so a box that the dialog does not own is shown topmost: otherwise it
// may open beneath the dialog, its OK button hidden, with the run waiting on it.
void ShowFileError(const wchar_t* path, const char* text) {
  ShowBox(nullptr, path + platform::Wide(text), nullptr, MB_ICONERROR | MB_TOPMOST);
}

bool IsString(DWORD type) {
  return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

}  // namespace

Checker::Checker(MainWindow& mainWindow) : window(mainWindow), surface(new DrawingSurface) {
  surface->BindWindow(window.windowHandle);
  surface->CreateBuffer(640, 480, 0, 16);
  window.AttachSurface(surface);
}

Checker::~Checker() {
  if (surface == nullptr) return;
  surface->Release();
  delete surface;
}

bool Checker::RunChecks() {
  CheckList list;
  const bool loaded = list.Load("crclist.INF");
  if (!loaded) ShowBox(nullptr, platform::Wide(texts::kLoadFailed), nullptr, MB_OK | MB_ICONERROR);
  // A list not read whole may leave files out: nothing of it is checked.
  if (!loaded || window.quitRequested) return false;

  std::string modeText;
  for (const std::string& line : list.messageLines) modeText += line + "\n";
  ModeChoiceDialog dialog;
  dialog.Open(window.windowHandle);
  dialog.SetText(modeText);
  dialog.SetCaption(list);
  if (!WaitFor(dialog.finished) || window.quitRequested || dialog.closed) return false;

  if (dialog.mode == CheckMode::Media) {
    if (!RunMediaCheck(list)) return false;
    ShowBox(nullptr, texts::kMediaIntact, list.title, MB_OK | MB_ICONINFORMATION);
  } else if (!RegistryKeyExists(list.gameKey)) {
    ShowBox(nullptr, texts::kGameNotInstalled, list.title, MB_OK | MB_ICONERROR);
  }
  // A quit confirmed while a box was up ends the check there.
  return !window.quitRequested && OfferInstalledCheck(list);
}

// The installed files are checked only when there are some, the game is installed and the
// user agrees; declining still ends the check normally, a quit never does.
bool Checker::OfferInstalledCheck(const CheckList& list) {
  if (list.regFiles.empty() || !RegistryKeyExists(list.gameKey)) return true;
  const std::string question = std::string(texts::kGameInstalled) + texts::kCheckInstalledToo;
  const bool agreed = Confirm(question, list);
  if (window.quitRequested) return false;
  if (!agreed) return true;
  if (!RunInstalledCheck(list)) return false;
  ShowBox(nullptr, texts::kInstalledIntact, list.title, MB_OK | MB_ICONINFORMATION);
  return !window.quitRequested;
}

bool Checker::RunMediaCheck(const CheckList& list) {
  const int total = static_cast<int>(list.cdFiles.size() + list.gameDataFiles.size());
  std::string root;
  if (!SelectDrive(root, list)) return false;

  ProgressDialog progress;
  progress.Open(window.windowHandle, list);
  int ordinal = 0;
  const std::pair<std::string, const std::vector<FileEntry>*> folders[] = {
      {root, &list.cdFiles}, {root + inf::kGameDataFolder, &list.gameDataFiles}};
  for (const auto& [folder, entries] : folders) {
    for (const FileEntry& entry : *entries) {
      const std::wstring path = platform::Wide((folder + entry.name).c_str());
      switch (VerifyListedFile(path, entry, ++ordinal, total, progress)) {
        case FileOutcome::Verified:
          break;
        case FileOutcome::Interrupted:
          return false;
        case FileOutcome::Failed:
          ShowBox(progress.window, platform::Wide(texts::kMediaFileFailed) + path,
                  list.title.c_str(), MB_ICONERROR);
          return false;
      }
    }
  }
  progress.Close();
  return true;
}

bool Checker::SelectDrive(std::string& driveRoot, const CheckList& list) {
  if (list.driveInfo.empty()) {
    ShowBox(nullptr, texts::kDriveInfoMissing, list.title, MB_ICONERROR);
    return false;
  }
  DriveSelectionDialog dialog;
  dialog.Open(window.windowHandle, list);
  dialog.SetPrompt(list.driveInfo.front());
  if (!WaitFor(dialog.finished) || dialog.closed) return false;
  driveRoot = dialog.selectedDrive;
  return true;
}

bool Checker::RunInstalledCheck(const CheckList& list) {
  ProgressDialog progress;
  progress.Open(window.windowHandle, list);
  const int total = static_cast<int>(list.regFiles.size());
  int ordinal = 0;
  for (const FileEntry& entry : list.regFiles) {
    std::wstring path;
    if (!ReadRegistryString(entry.name, list.gameKey, path)) {
      // Topmost, as ShowFileError's boxes: the progress dialog is up and does not own it.
      ShowBox(nullptr, platform::Wide((texts::kRegistryEntryFailed + entry.name).c_str()),
              kToolName, MB_ICONERROR | MB_TOPMOST);
      return false;
    }
    switch (VerifyListedFile(path, entry, ++ordinal, total, progress)) {
      case FileOutcome::Verified:
        break;
      case FileOutcome::Interrupted:
        return false;
      case FileOutcome::Failed:
        ShowBox(progress.window, platform::Wide(texts::kInstalledFileDamaged) + path,
                list.title.c_str(), MB_ICONERROR);
        return false;
    }
  }
  progress.Close();
  return true;
}

bool Checker::RegistryKeyExists(const std::string& keyPath) {
  return RegistryKey(keyPath).Exists();
}

bool Checker::ReadRegistryString(const std::string& valueName, const std::string& keyPath,
                                 std::wstring& path) {
  DWORD type = REG_NONE;
  std::vector<BYTE> data;
  if (!RegistryKey(keyPath).QueryValue(valueName, type, data)) return false;
  if (!IsString(type)) {
    if (data.size() > kPathBufferSize) return false;
    char buffer[kPathBufferSize + 1];
    std::fill(std::copy(data.begin(), data.end(), buffer), buffer + kPathBufferSize, '0');
    buffer[kPathBufferSize] = '\0';
    path = platform::Wide(buffer);
    return true;
  }
  const std::wstring value(reinterpret_cast<const wchar_t*>(data.data()),
                           data.size() / sizeof(wchar_t));
  if (platform::Cp932(value).size() > kPathBufferSize) return false;
  // The A function writes nothing for a value of no whole character; any other ends at a NUL:
  // its own, one appended where the buffer has room, or the buffer's own when the value fills it.
  path = value.empty() ? std::wstring(kPathBufferSize, L'0') : value.substr(0, value.find(L'\0'));
  return true;
}

bool Checker::Confirm(const std::string& text, const CheckList& list) {
  return ShowBox(nullptr, text.c_str(), list.title, MB_OKCANCEL | MB_ICONINFORMATION) == IDOK;
}

bool Checker::VerifyFile(const wchar_t* path, std::int32_t expectedSize, std::uint32_t expectedCrc,
                         ProgressDialog& progress) {
  VerificationProgress report;
  report.boundaryReached = [&] { return window.PumpMessages() && !progress.stopRequested; };
  report.setPercent = [&](int percent) { progress.SetPercent(percent); };
  BufferedFileReader reader;
  const VerificationResult result =
      reader.Adopt(platform::OpenForReading(path))
          ? VerifyOpenedFile(reader, expectedSize, expectedCrc, report).result
          : VerificationResult::OpenFailed;
  switch (result) {
    case VerificationResult::Intact:
      return true;
    case VerificationResult::OpenFailed:
      ShowFileError(path, texts::kOpenFailed);
      return false;
    case VerificationResult::SizeDiffers:
      ShowFileError(path, texts::kSizeDiffers);
      return false;
    default:
      return false;
  }
}

// A stop or a quit seen after the file wins over its result: it is not reported.
Checker::FileOutcome Checker::VerifyListedFile(const std::wstring& path, const FileEntry& entry,
                                               int ordinal, int total, ProgressDialog& progress) {
  progress.ShowFile(path);
  progress.SetFileCount(ordinal, total);
  const bool verified = VerifyFile(path.c_str(), entry.size, entry.crc, progress);
  if (window.quitRequested || progress.stopRequested) return FileOutcome::Interrupted;
  return verified ? FileOutcome::Verified : FileOutcome::Failed;
}

bool Checker::WaitFor(const bool& flag) {
  while (!flag) {
    if (!window.PumpMessages()) return false;
    Sleep(10);
  }
  return true;
}
