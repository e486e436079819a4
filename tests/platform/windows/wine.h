// Where Wine behaves differently from Windows, tests assert what each does, so a Wine upgrade
// that changes the behaviour shows up as a failure rather than passing silently.
#pragma once

#include <windows.h>

#include <string>

namespace tallowby::testing {

// A path of the machine Wine runs on, as a program under Wine names it.
inline std::string HostPath(std::string path) {
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return std::string("Z:").append(path);
}

inline bool RunningUnderWine() {
  const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace tallowby::testing
