// The system's folder dialog, as the output-folder button uses it.
#pragma once

#include <cstdint>
#include <string>

namespace tallowby {

class FolderChooser {
 public:
  virtual ~FolderChooser() = default;

  // Shows a modal folder dialog owned by the window with the native handle `owner`, with the
  // instruction `title`, preselecting `initial_folder` (the empty text: the dialog's own default).
  // Returns the chosen folder's path, without a trailing separator except for a root, which keeps
  // its own ("/", "C:\"); or the empty text when the user cancelled or the item has no path.
  virtual std::string ChooseFolder(std::uintptr_t owner, const std::string& title,
                                   const std::string& initial_folder) = 0;
};

}  // namespace tallowby
