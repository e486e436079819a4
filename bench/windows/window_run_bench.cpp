// One run through the real Tallowby.exe, timed from the press of "Start Generating" until
// results.txt takes its place, just before the "Done." box, as the Linux half of the benchmark
// times it. Runs under Wine (or Windows).
//
// Usage: tallowby_window_run_bench <Tallowby.exe> <output folder> <count>
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

namespace {

constexpr char kSettingsKey[] = "Software\\VB and VBA Program Settings\\Kestrelane\\Tallowby";
constexpr int kStartGenerating = 136;

void Store(const char* name, const std::string& value) {
  RegSetKeyValueA(HKEY_CURRENT_USER, kSettingsKey, name, REG_SZ, value.c_str(),
                  static_cast<DWORD>(value.size() + 1));
}

HWND BoxOf(DWORD process) {
  struct Search {
    DWORD process;
    HWND box;
  } search{process, nullptr};
  EnumWindows(
      [](HWND window, LPARAM data) {
        auto* s = reinterpret_cast<Search*>(data);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        char name[16] = {};
        GetClassNameA(window, name, sizeof name);
        if (owner == s->process && IsWindowVisible(window) && std::string(name) == "#32770") {
          s->box = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.box;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: tallowby_window_run_bench <Tallowby.exe> <folder> <count>\n");
    return 2;
  }
  Store("Text1", argv[3]);
  Store("Text2", "100000");
  Store("Text3", argv[2]);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::string command = std::string("\"").append(argv[1]).append("\"");
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    std::fprintf(stderr, "Tallowby.exe could not be started\n");
    return 1;
  }
  HWND window = nullptr;
  for (int i = 0; i < 2000 && (window == nullptr || !IsWindowVisible(window)); ++i) {
    window = FindWindowA("TallowbyMainWindow", "Tallowby");
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  if (window == nullptr) return 1;
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  const std::string results = std::string(argv[2]).append("results.txt");
  DeleteFileA(results.c_str());
  const auto start = std::chrono::steady_clock::now();
  PostMessageA(GetDlgItem(window, kStartGenerating), BM_CLICK, 0, 0);
  while (GetFileAttributesA(results.c_str()) == INVALID_FILE_ATTRIBUTES)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%.3f\n", seconds);
  HWND box = nullptr;
  while ((box = BoxOf(process.dwProcessId)) == nullptr)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  PostMessageA(window, WM_CLOSE, 0, 0);
  WaitForSingleObject(process.hProcess, 10000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return 0;
}
