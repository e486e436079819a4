#include "platform/windows/explorer_site_visitor.h"

#include <windows.h>

#include "platform/windows/wide_text.h"

namespace tallowby {

std::string SiteVisitCommandLine(const std::string& address) {
  return "explorer \"" + address + "\"";
}

bool StartDetached(const DetachedStart& start) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(start.show_window);
  PROCESS_INFORMATION process{};
  // CreateProcessW may write into the command line, so it gets a copy of its own.
  std::wstring command_line = Widen(start.command_line);
  if (!CreateProcessW(nullptr, command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

}  // namespace tallowby
