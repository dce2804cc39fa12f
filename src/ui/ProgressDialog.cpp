#include "ui/ProgressDialog.h"

#include <commctrl.h>

#include <string>

#include "app/AppInstance.h"
#include "checklist/CheckList.h"
#include "platform/WideText.h"
#include "resources/ResourceIds.h"
#include "texts/Texts.h"

namespace {

// The one progress dialog of the program, as its procedure finds it.
ProgressDialog* openDialog = nullptr;

}  // namespace

ProgressDialog::~ProgressDialog() {
  if (openDialog == this) openDialog = nullptr;
}

// The owner is not used: the dialog stands on its own.
void ProgressDialog::Open(HWND, const CheckList& list) {
  checkList = &list;
  window = CreateDialogParamW(appInstance, MAKEINTRESOURCEW(IDD_PROGRESS), nullptr, DialogProc,
                              reinterpret_cast<LPARAM>(this));
}

void ProgressDialog::ShowFile(const std::wstring& path) {
  SetDlgItemTextW(window, IDC_STATUS, (platform::Wide(texts::kProcessing) + L"\n" + path).c_str());
}

void ProgressDialog::SetFileCount(int current, int total) {
  wchar_t text[256];
  wsprintfW(text, platform::Wide(texts::kFileCountFormat).c_str(), current, total);
  SetDlgItemTextW(window, IDC_FILE_COUNT, text);
}

void ProgressDialog::SetPercent(int percent) {
  SendMessageW(GetDlgItem(window, IDC_PROGRESS_BAR), PBM_SETPOS, static_cast<WPARAM>(percent), 0);
}

void ProgressDialog::Close() { Stop(window); }

void ProgressDialog::Stop(HWND dialog) {
  stopRequested = true;
  DestroyWindow(dialog);
}

INT_PTR CALLBACK ProgressDialog::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      openDialog = reinterpret_cast<ProgressDialog*>(lParam);
      SetDlgItemTextW(dialog, IDC_STATUS, platform::Wide(texts::kProcessing).c_str());
      SetWindowTextW(dialog, platform::Wide(openDialog->checkList->title.c_str()).c_str());
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDC_STOP && openDialog != nullptr) openDialog->Stop(dialog);
      return FALSE;
    case WM_CLOSE:
      if (openDialog != nullptr) openDialog->Stop(dialog);
      return FALSE;
    default:
      return FALSE;
  }
}
