#include "verify/Checker.h"

#include <windows.h>

#include <string>

#include "app/DrawingSurface.h"
#include "app/MainWindow.h"
#include "texts/Texts.h"
#include "ui/ProgressDialog.h"
#include "verify/FileVerification.h"

namespace {

void ShowFileError(const char* path, const char* text) {
  MessageBoxA(nullptr, (std::string(path) + text).c_str(), nullptr, MB_ICONERROR);
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

bool Checker::VerifyFile(const char* path, std::int32_t expectedSize, std::uint32_t expectedCrc,
                         ProgressDialog& progress) {
  VerificationProgress report;
  report.boundaryReached = [&] { return window.PumpMessages() && !progress.stopRequested; };
  report.setPercent = [&](int percent) { progress.SetPercent(percent); };
  switch (VerifyFileContents(path, expectedSize, expectedCrc, report)) {
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
