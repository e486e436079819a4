// The desktop folder, as the shell tells it, and the default output folder made from it.
#include <shlobj.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "core/window/default_output_folder.h"
#include "platform/windows/desktop_folder.h"
#include "platform/windows/native_file_system.h"

namespace tallowby {
namespace {

TEST(DesktopFolder, IsTheShellsDesktopFolderWithoutFiller) {
  const std::string desktop = DesktopFolder();
  char expected[MAX_PATH] = {};
  ASSERT_EQ(
      SHGetFolderPathA(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, expected),
      S_OK);
  EXPECT_EQ(desktop, expected);
  EXPECT_EQ(desktop.find('\0'), std::string::npos);
  EXPECT_TRUE(NativeFileSystem().FolderExists(desktop)) << desktop;
  EXPECT_EQ(DefaultOutputFolder(desktop, PathStyle::Windows), desktop + "\\");
}

}  // namespace
}  // namespace tallowby
