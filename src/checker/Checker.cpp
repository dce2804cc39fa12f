#include "checker/Checker.h"

#include <windows.h>

#include <cstring>

#include "app/DrawingSurface.h"
#include "app/MainWindow.h"
#include "checker/RegistryKey.h"
#include "checklist/CheckList.h"
#include "texts/Texts.h"
#include "ui/DriveSelectionDialog.h"
#include "ui/ModeChoiceDialog.h"
#include "ui/ProgressDialog.h"
#include "verify/FileVerification.h"

namespace {

constexpr const char* kToolName = "Disksentry";

// Windows keeps a DS_SYSMODAL dialog, such as the progress dialog, above every window that is not
// topmost (Wine does not), so a box that the dialog does not own is shown topmost: otherwise it
// may open beneath the dialog, its OK button hidden, with the run waiting on it.
void ShowFileError(const char* path, const char* text) {
  MessageBoxA(nullptr, (std::string(path) + text).c_str(), nullptr, MB_ICONERROR | MB_TOPMOST);
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
  if (!loaded) MessageBoxA(nullptr, texts::kLoadFailed, nullptr, MB_OK | MB_ICONERROR);
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
    MessageBoxA(nullptr, texts::kMediaIntact, list.title.c_str(), MB_OK | MB_ICONINFORMATION);
  } else if (!RegistryKeyExists(list.gameKey)) {
    MessageBoxA(nullptr, texts::kGameNotInstalled, list.title.c_str(), MB_OK | MB_ICONERROR);
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
  MessageBoxA(nullptr, texts::kInstalledIntact, list.title.c_str(), MB_OK | MB_ICONINFORMATION);
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
      {root, &list.cdFiles}, {root + "gamedata\\", &list.gameDataFiles}};
  for (const auto& [folder, entries] : folders) {
    for (const FileEntry& entry : *entries) {
      const std::string path = folder + entry.name;
      switch (VerifyListedFile(path.c_str(), entry, ++ordinal, total, progress)) {
        case FileOutcome::Verified:
          break;
        case FileOutcome::Interrupted:
          return false;
        case FileOutcome::Failed:
          MessageBoxA(progress.window, (texts::kMediaFileFailed + path).c_str(), list.title.c_str(), MB_ICONERROR);
          return false;
      }
    }
  }
  progress.Close();
  return true;
}

bool Checker::SelectDrive(std::string& driveRoot, const CheckList& list) {
  if (list.driveInfo.empty()) {
    MessageBoxA(nullptr, texts::kDriveInfoMissing, list.title.c_str(), MB_ICONERROR);
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
    char path[kPathBufferSize + 1];
    if (!ReadRegistryString(entry.name, list.gameKey, path)) {
      // Topmost, as ShowFileError's boxes: the progress dialog is up and does not own it.
      MessageBoxA(nullptr, (texts::kRegistryEntryFailed + entry.name).c_str(), kToolName,
                  MB_ICONERROR | MB_TOPMOST);
      return false;
    }
    switch (VerifyListedFile(path, entry, ++ordinal, total, progress)) {
      case FileOutcome::Verified:
        break;
      case FileOutcome::Interrupted:
        return false;
      case FileOutcome::Failed:
        MessageBoxA(progress.window, (texts::kInstalledFileDamaged + std::string(path)).c_str(),
                    list.title.c_str(), MB_ICONERROR);
        return false;
    }
  }
  progress.Close();
  return true;
}

bool Checker::RegistryKeyExists(const std::string& keyPath) { return RegistryKey(keyPath).Exists(); }

bool Checker::ReadRegistryString(const std::string& valueName, const std::string& keyPath,
                                 char (&buffer)[kPathBufferSize + 1]) {
  std::memset(buffer, '0', kPathBufferSize);
  buffer[kPathBufferSize] = '\0';
  DWORD type = REG_SZ;
  return RegistryKey(keyPath).QueryValue(valueName.c_str(), reinterpret_cast<BYTE*>(buffer),
                                         kPathBufferSize, type);
}

bool Checker::Confirm(const std::string& text, const CheckList& list) {
  return MessageBoxA(nullptr, text.c_str(), list.title.c_str(), MB_OKCANCEL | MB_ICONINFORMATION) == IDOK;
}

bool Checker::VerifyFile(const char* path, std::int32_t expectedSize, std::uint32_t expectedCrc,
                         ProgressDialog& progress) {
  VerificationProgress report;
  report.boundaryReached = [&] { return window.PumpMessages() && !progress.stopRequested; };
  report.setPercent = [&](int percent) { progress.SetPercent(percent); };
  switch (VerifyFileContents(path, expectedSize, expectedCrc, report).result) {
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
Checker::FileOutcome Checker::VerifyListedFile(const char* path, const FileEntry& entry, int ordinal,
                                               int total, ProgressDialog& progress) {
  progress.ShowFile(path);
  progress.SetFileCount(ordinal, total);
  const bool verified = VerifyFile(path, entry.size, entry.crc, progress);
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
