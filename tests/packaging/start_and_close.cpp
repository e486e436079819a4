// Starts an installed Tallowby.exe, waits for its main window and closes it as the user would.
// Run inside a Wine desktop, whose exit status is lost, so the verdict is the last line printed:
// PASS, or FAIL with the reason.
//
//   start_and_close.exe <path of Tallowby.exe>
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

int Fail(const char* reason) {
  std::printf("FAIL: %s (error %lu)\n", reason, GetLastError());
  std::fflush(stdout);
  return 1;
}

// The program's own main window, not another Tallowby's.
HWND WaitForWindow(DWORD process_id, DWORD milliseconds) {
  for (DWORD waited = 0; waited < milliseconds; waited += 100) {
    HWND window = FindWindowA("TallowbyMainWindow", "Tallowby");
    DWORD owner = 0;
    if (window != nullptr) GetWindowThreadProcessId(window, &owner);
    if (owner == process_id && IsWindowVisible(window)) return window;
    Sleep(100);
  }
  return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return Fail("usage: start_and_close <program>");
  std::string command_line = std::string("\"") + argv[1] + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(argv[1], command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return Fail("the program did not start");
  }
  HWND window = WaitForWindow(process.dwProcessId, 60000);
  if (window == nullptr) {
    TerminateProcess(process.hProcess, 1);
    return Fail("no visible window of class TallowbyMainWindow titled Tallowby");
  }
  PostMessageA(window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process.hProcess, 30000) != WAIT_OBJECT_0) {
    TerminateProcess(process.hProcess, 1);
    return Fail("the program did not end when its window was closed");
  }
  DWORD exit_code = 1;
  GetExitCodeProcess(process.hProcess, &exit_code);
  if (exit_code != 0) return Fail("the program ended with a failure status");
  std::puts("PASS");
  std::fflush(stdout);
  return 0;
}
