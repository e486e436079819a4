#include <shlobj.h>
#include <windows.h>

#include <cwchar>

#include "platform/windows/desktop_folder.h"
#include "platform/windows/wide_text.h"

namespace tallowby {

std::string DesktopFolder() {
  LPITEMIDLIST desktop = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &desktop)) || desktop == nullptr) {
    return {};
  }
  // Zero-filled: a failed conversion leaves no path, and the text ends at the first NUL.
  wchar_t buffer[MAX_PATH] = {};
  SHGetPathFromIDListW(desktop, buffer);
  CoTaskMemFree(desktop);
  return Narrow(std::wstring_view(buffer, wcsnlen(buffer, MAX_PATH)));
}

}  // namespace tallowby
