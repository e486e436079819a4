#include "platform/windows/explorer_site_visitor.h"

#include <windows.h>

#include <vector>

namespace tallowby {

std::string SiteVisitCommandLine(const std::string& address) {
  return "explorer \"" + address + "\"";
}

bool StartDetached(const DetachedStart& start) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(start.show_window);
  PROCESS_INFORMATION process{};
  // CreateProcessA may write into the command line, so it gets a copy of its own.
  std::vector<char> command_line(start.command_line.begin(), start.command_line.end());
  command_line.push_back('\0');
  if (!CreateProcessA(nullptr, command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

}  // namespace tallowby
