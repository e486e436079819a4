#include "qt/qt_folder_chooser.h"

#include <QDir>
#include <QFileDialog>

#include "qt/native_text.h"

namespace tallowby {

std::string QtFolderChooser::ChooseFolder(std::uintptr_t owner, const std::string& title,
                                          const std::string& initial_folder) {
  QWidget* parent = QWidget::find(static_cast<WId>(owner));
  if (parent == nullptr) parent = owner_;
  const QString start = initial_folder.empty() ? QDir::homePath() : FromNative(initial_folder);
  const QString chosen = QFileDialog::getExistingDirectory(
      parent, FromNative(title), start,
      QFileDialog::ShowDirsOnly | QFileDialog::DontResolveSymlinks);
  if (chosen.isEmpty()) return {};
  // cleanPath drops a trailing separator, except from the root, which keeps its own.
  return ToNative(QDir::toNativeSeparators(QDir::cleanPath(chosen)));
}

}  // namespace tallowby
