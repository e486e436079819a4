#include "platform/windows/shell_folder_chooser.h"

#include <shlobj.h>

#include <cstring>

#include "platform/windows/com_apartment.h"

namespace tallowby {

namespace {

std::string& PendingSelectionText() {
  static std::string text(1, '\0');
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
}

int CALLBACK FolderChooserCallback(HWND dialog, UINT message, LPARAM item, LPARAM /*data*/) {
  try {
    if (message == BFFM_INITIALIZED) {
      // wParam 1: lParam is a path, not an item identifier. An empty path keeps the dialog's
      // own default selection.
      SendMessageA(dialog, BFFM_SETSELECTIONA, 1,
                   reinterpret_cast<LPARAM>(PendingSelection().c_str()));
    } else if (message == BFFM_SELCHANGED) {
      // Without BIF_STATUSTEXT the dialog has no status line and shows nothing of this; the
      // path is sent all the same, so turning the status line on is all it would take.
      char path[MAX_PATH];
      std::memset(path, ' ', sizeof path);
      if (SHGetPathFromIDListA(reinterpret_cast<PCIDLIST_ABSOLUTE>(item), path) == 1) {
        SendMessageA(dialog, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(path));
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

  BROWSEINFOA request{};
  request.hwndOwner = reinterpret_cast<HWND>(owner);
  request.pidlRoot = nullptr;  // the tree starts at the desktop
  request.pszDisplayName = nullptr;
  request.lpszTitle = title.c_str();  // valid until the modal dialog has closed
  request.ulFlags = BIF_RETURNONLYFSDIRS;
  request.lpfn = FolderChooserCallback;
  request.lParam = 0;

  PIDLIST_ABSOLUTE chosen = SHBrowseForFolderA(&request);
  if (chosen == nullptr) return {};  // cancelled or closed
  char path[MAX_PATH] = {};          // an item without a path leaves it empty
  SHGetPathFromIDListA(chosen, path);
  CoTaskMemFree(chosen);
  return std::string(path, strnlen(path, sizeof path));
}

}  // namespace tallowby
