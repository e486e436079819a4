// Brings up the desktop that windows (and the hidden windows of COM's apartments) belong to,
// before tests that make windows start side by side. Under Wine the first process to need the
// desktop starts it; a second process asking at the same moment can be refused its window.
#include <windows.h>

#include <cstdio>

int main() {
  const DWORD deadline = GetTickCount() + 30000;
  for (;;) {
    if (GetDesktopWindow() != nullptr) {
      HWND window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                    GetModuleHandleA(nullptr), nullptr);
      if (window != nullptr) {
        DestroyWindow(window);
        return 0;
      }
    }
    if (static_cast<LONG>(GetTickCount() - deadline) >= 0) {
      std::fprintf(stderr, "the desktop did not come up: error %lu\n", GetLastError());
      return 1;
    }
    Sleep(100);
  }
}
