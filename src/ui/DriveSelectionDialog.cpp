#include "ui/DriveSelectionDialog.h"

#include "app/AppInstance.h"
#include "checklist/CheckList.h"
#include "platform/WideText.h"
#include "resources/ResourceIds.h"
#include "texts/Texts.h"

namespace {

// The one drive selection dialog of the program, as its procedure finds it.
DriveSelectionDialog* openDialog = nullptr;

void AddCdRomDrives(HWND list) {
  // A to Y: drive Z is never offered.
  for (wchar_t letter = L'A'; letter <= L'Y'; ++letter) {
    const wchar_t root[] = {letter, L':', L'\\', L'\0'};
    if (GetDriveTypeW(root) == DRIVE_CDROM) SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(root));
  }
}

}  // namespace

DriveSelectionDialog::DriveSelectionDialog() : prompt(texts::kDefaultDrivePrompt) {}

DriveSelectionDialog::~DriveSelectionDialog() {
  if (openDialog == this) openDialog = nullptr;
}

// The owner is not used: the dialog stands on its own.
void DriveSelectionDialog::Open(HWND, const CheckList& list) {
  checkList = &list;
  window = CreateDialogParamW(appInstance, MAKEINTRESOURCEW(IDD_DRIVE_SELECTION), nullptr, DialogProc,
                              reinterpret_cast<LPARAM>(this));
  if (window == nullptr) closed = finished = true;
}

void DriveSelectionDialog::SetPrompt(const std::string& text) {
  SetDlgItemTextW(window, IDC_PROMPT, platform::Wide(text.c_str()).c_str());
}

void DriveSelectionDialog::Initialize(HWND dialog) {
  const HWND list = GetDlgItem(dialog, IDC_DRIVE_LIST);
  AddCdRomDrives(list);
  SendMessageW(list, CB_SETCURSEL, 0, 0);
  SetDlgItemTextW(dialog, IDC_PROMPT, platform::Wide(prompt.c_str()).c_str());
  SetWindowTextW(dialog, platform::Wide(checkList->title.c_str()).c_str());
}

void DriveSelectionDialog::Accept(HWND dialog) {
  const HWND list = GetDlgItem(dialog, IDC_DRIVE_LIST);
  const auto index = static_cast<WORD>(SendMessageW(list, CB_GETCURSEL, 0, 0));
  wchar_t root[16] = {};
  // Without a selection the read fails and the default drive stays.
  if (SendMessageW(list, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(root)) != CB_ERR) {
    selectedDrive = platform::Cp932(root);
  }
  finished = true;
  DestroyWindow(dialog);
}

INT_PTR CALLBACK DriveSelectionDialog::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    openDialog = reinterpret_cast<DriveSelectionDialog*>(lParam);
    openDialog->Initialize(dialog);
    return TRUE;
  }
  if (openDialog == nullptr) return FALSE;
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) openDialog->Accept(dialog);
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
