// Where Wine behaves differently from Windows, tests assert what each does, so a Wine upgrade
// that changes the behaviour shows up as a failure rather than passing silently.
#pragma once

#include <windows.h>

namespace tallowby::testing {

inline bool RunningUnderWine() {
  const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace tallowby::testing
