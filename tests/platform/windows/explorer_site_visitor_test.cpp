// How the site visit starts explorer, and starting a program without waiting for it.
#include <shlobj.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "platform/windows/explorer_site_visitor.h"
#include "platform/windows/native_file_system.h"
#include "support/temporary_folder.h"

namespace tallowby {
namespace {

using testing::FileBytes;
using testing::TemporaryFolder;

TEST(ExplorerSiteVisitor, StartsExplorerWithTheAddressMinimised) {
  std::vector<DetachedStart> starts;
  ExplorerSiteVisitor visitor([&](const DetachedStart& start) {
    starts.push_back(start);
    return false;  // a failed start is no error
  });
  visitor.Visit("https://www.kestrelane.example/");
  visitor.Visit("https://a.example/?q=1&r=2");
  ASSERT_EQ(starts.size(), 2U);
  EXPECT_EQ(starts[0].command_line, "explorer \"https://www.kestrelane.example/\"");
  EXPECT_EQ(starts[0].show_window, SW_SHOWMINIMIZED);
  EXPECT_EQ(starts[1].command_line, "explorer \"https://a.example/?q=1&r=2\"");
}

std::string BesideThisProgram(const std::string& name) {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, length);
  return folder.substr(0, folder.find_last_of('\\') + 1) + name;
}

TEST(StartDetached, PassesTheWindowStyleAndDoesNotWait) {
  TemporaryFolder folder;
  const std::string report = (folder.Path() / "report.txt").string();
  const std::string event_name = "tallowby-startup-probe-" + std::to_string(GetCurrentProcessId());
  HANDLE went_on = CreateEventA(nullptr, TRUE, FALSE, event_name.c_str());
  ASSERT_NE(went_on, nullptr);
  std::string command_line = "\"";
  command_line.append(BesideThisProgram("startup_probe.exe")).append("\" \"");
  command_line.append(report).append("\" ").append(event_name);

  EXPECT_TRUE(StartDetached({command_line, kSiteVisitShowWindow}));
  SetEvent(went_on);  // only reached when StartDetached returned before the probe ended

  for (int i = 0; i < 200 && !NativeFileSystem().FileExists(report); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  CloseHandle(went_on);
  EXPECT_EQ(FileBytes(report), "released\n" + std::to_string(STARTF_USESHOWWINDOW) + " " +
                                   std::to_string(SW_SHOWMINIMIZED) + "\n" + command_line + "\n");
}

TEST(StartDetached, IsFalseForAProgramThatDoesNotExist) {
  EXPECT_FALSE(StartDetached({"tallowby-no-such-program.exe \"x\"", kSiteVisitShowWindow}));
}

}  // namespace
}  // namespace tallowby
