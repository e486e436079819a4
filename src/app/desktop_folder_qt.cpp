#include <QDir>
#include <QStandardPaths>

#include "app/desktop_folder.h"
#include "app/startup.h"

namespace tallowby {

std::string DesktopFolder() {
  const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
  if (!desktop.isEmpty() && QDir(desktop).exists()) return ToNative(QDir::cleanPath(desktop));
  const QString home = QDir::homePath();
  if (!home.isEmpty() && QDir(home).exists()) return ToNative(QDir::cleanPath(home));
  return {};
}

}  // namespace tallowby
