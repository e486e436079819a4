// The folder dialog of Qt, for Linux and other Unix systems.
#pragma once

#include <QWidget>

#include "core/ports/folder_chooser.h"

namespace tallowby {

// Opens at the user's home folder every time, whatever the working directory and whatever the
// dialog remembered from an earlier use, unless the caller names a folder.
class QtFolderChooser final : public FolderChooser {
 public:
  explicit QtFolderChooser(QWidget* owner) : owner_(owner) {}
  std::string ChooseFolder(std::uintptr_t owner, const std::string& title,
                           const std::string& initial_folder) override;

 private:
  QWidget* owner_;
};

}  // namespace tallowby
