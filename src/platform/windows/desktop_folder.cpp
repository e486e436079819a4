#include <shlobj.h>
#include <windows.h>

#include <cstring>

#include "platform/windows/desktop_folder.h"

namespace tallowby {

std::string DesktopFolder() {
  LPITEMIDLIST desktop = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &desktop)) || desktop == nullptr) {
    return {};
  }
  // Zero-filled: a failed conversion leaves no path, and the text ends at the first NUL.
  char buffer[512] = {};
  SHGetPathFromIDListA(desktop, buffer);
  CoTaskMemFree(desktop);
  return std::string(buffer, strnlen(buffer, sizeof buffer));
}

}  // namespace tallowby
