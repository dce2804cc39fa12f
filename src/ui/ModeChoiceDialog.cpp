#include "ui/ModeChoiceDialog.h"

#include "app/AppInstance.h"
#include "checklist/CheckList.h"
#include "platform/WideText.h"
#include "resources/ResourceIds.h"

namespace {

// The one mode choice dialog of the program, as its procedure finds it.
ModeChoiceDialog* openDialog = nullptr;

}  // namespace

ModeChoiceDialog::~ModeChoiceDialog() {
  if (openDialog == this) openDialog = nullptr;
}

void ModeChoiceDialog::Open(HWND owner) {
  window = CreateDialogParamW(appInstance, MAKEINTRESOURCEW(IDD_MODE_CHOICE), owner, DialogProc,
                              reinterpret_cast<LPARAM>(this));
  if (window == nullptr) closed = finished = true;
}

void ModeChoiceDialog::SetText(const std::string& text) {
  SetDlgItemTextW(window, IDC_MODE_TEXT, platform::Wide(text.c_str()).c_str());
}

void ModeChoiceDialog::SetCaption(const CheckList& list) {
  SetWindowTextW(window, platform::Wide(list.title.c_str()).c_str());
}

void ModeChoiceDialog::Choose(HWND dialog, CheckMode chosen) {
  mode = chosen;
  DestroyWindow(dialog);
}

INT_PTR CALLBACK ModeChoiceDialog::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    openDialog = reinterpret_cast<ModeChoiceDialog*>(lParam);
    return TRUE;
  }
  if (openDialog == nullptr) return FALSE;
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wParam) == IDC_CHECK_MEDIA) openDialog->Choose(dialog, CheckMode::Media);
      if (LOWORD(wParam) == IDC_CHECK_FILES) openDialog->Choose(dialog, CheckMode::Installed);
      break;
    case WM_CLOSE:
      openDialog->closed = true;
      DestroyWindow(dialog);
      break;
    case WM_DESTROY:
      openDialog->finished = true;
      break;
    default:
      break;
  }
  return FALSE;
}
