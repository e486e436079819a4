#include "platform/windows/shell_folder_chooser.h"

#include <shlobj.h>

#include <cwchar>

#include "platform/windows/com_apartment.h"
#include "platform/windows/wide_text.h"

namespace tallowby {

namespace {

std::string& PendingSelectionText() {
  static std::string text(1, '\0');
  return text;
}

// The same, as the dialog is sent it; it must outlive the dialog's use of it.
std::wstring& PendingSelectionWide() {
  static std::wstring text;
  return text;
}

}  // namespace

const std::string& PendingSelection() {
  return PendingSelectionText();
}

void SetPendingSelection(const std::string& initial_folder) {
  std::string text = initial_folder;
  text.push_back('\0');
  PendingSelectionText().swap(text);
  PendingSelectionWide() = Widen(initial_folder);
}

int CALLBACK FolderChooserCallback(HWND dialog, UINT message, LPARAM item, LPARAM /*data*/) {
  try {
    if (message == BFFM_INITIALIZED) {
      // wParam 1: lParam is a path, not an item identifier. An empty path keeps the dialog's
      // own default selection.
      SendMessageW(dialog, BFFM_SETSELECTIONW, 1,
                   reinterpret_cast<LPARAM>(PendingSelectionWide().c_str()));
    } else if (message == BFFM_SELCHANGED) {
      // Without BIF_STATUSTEXT the dialog has no status line and shows nothing of this; the
      // path is sent all the same, so turning the status line on is all it would take.
      wchar_t path[MAX_PATH];
      std::wmemset(path, L' ', MAX_PATH);
      if (SHGetPathFromIDListW(reinterpret_cast<PCIDLIST_ABSOLUTE>(item), path) == 1) {
        SendMessageW(dialog, BFFM_SETSTATUSTEXTW, 0, reinterpret_cast<LPARAM>(path));
      }
    }
  } catch (...) {  // never into the shell
  }
  return 0;
}

std::string ShellFolderChooser::ChooseFolder(std::uintptr_t owner, const std::string& title,
                                             const std::string& initial_folder) {
  SetPendingSelection(initial_folder);
  EnsureComApartment();  // the dialog is built from COM objects of the shell

  const std::wstring wide_title = Widen(title);  // valid until the modal dialog has closed
  BROWSEINFOW request{};
  request.hwndOwner = reinterpret_cast<HWND>(owner);
  request.pidlRoot = nullptr;  // the tree starts at the desktop
  request.pszDisplayName = nullptr;
  request.lpszTitle = wide_title.c_str();
  request.ulFlags = BIF_RETURNONLYFSDIRS;
  request.lpfn = FolderChooserCallback;
  request.lParam = 0;

  PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&request);
  if (chosen == nullptr) return {};  // cancelled or closed
  wchar_t path[MAX_PATH] = {};       // an item without a path leaves it empty
  SHGetPathFromIDListW(chosen, path);
  CoTaskMemFree(chosen);
  return Narrow(std::wstring_view(path, wcsnlen(path, MAX_PATH)));
}

}  // namespace tallowby
