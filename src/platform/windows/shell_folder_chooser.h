// The folder chooser on Windows: the shell's folder-browse dialog with its callback.
#pragma once

#include <windows.h>

#include <string>

#include "core/ports/folder_chooser.h"

namespace tallowby {

class ShellFolderChooser final : public FolderChooser {
 public:
  // Only file-system folders can be confirmed. Texts cross as UTF-16, paths in buffers of
  // MAX_PATH characters, so a result is at most 259 characters long.
  std::string ChooseFolder(std::uintptr_t owner, const std::string& title,
                           const std::string& initial_folder) override;
};

// The folder the dialog selects when it opens: the initial folder of the last ChooseFolder call,
// followed by one NUL. It keeps its value after the dialog has closed.
const std::string& PendingSelection();
void SetPendingSelection(const std::string& initial_folder);

// Called by the shell on the dialog's thread while the dialog is open. On BFFM_INITIALIZED it
// selects PendingSelection(); on BFFM_SELCHANGED it sends the new selection's path as the status
// text. Nothing escapes it, and it always returns 0.
int CALLBACK FolderChooserCallback(HWND dialog, UINT message, LPARAM item, LPARAM data);

}  // namespace tallowby
