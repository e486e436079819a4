// Started by the site-visit test in place of explorer: waits until the test says it has gone on
// (or 10 seconds pass), then writes how it was started to the file named by its first argument:
// "released" or "waited", the STARTUPINFO flags and window style, then its command line.
#include <windows.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  HANDLE went_on = OpenEventA(SYNCHRONIZE, FALSE, argv[2]);
  const bool released = went_on != nullptr && WaitForSingleObject(went_on, 10000) == WAIT_OBJECT_0;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  GetStartupInfoA(&startup);
  // Written beside and then renamed, so the test never reads half a report.
  const std::string partial = std::string(argv[1]) + ".part";
  std::FILE* report = std::fopen(partial.c_str(), "wb");
  if (report == nullptr) return 1;
  std::fprintf(report, "%s\n%lu %u\n%s\n", released ? "released" : "waited",
               static_cast<unsigned long>(startup.dwFlags), startup.wShowWindow, GetCommandLineA());
  std::fclose(report);
  return MoveFileA(partial.c_str(), argv[1]) ? 0 : 1;
}
