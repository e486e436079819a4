// The desktop folder on POSIX systems, from a home and a configuration folder of the test's own.
#include "platform/posix/desktop_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "support/temporary_folder.h"

namespace tallowby {
namespace {

using testing::TemporaryFolder;

struct DesktopCase {
  const char* user_dirs;  // nullptr: no user-dirs.dirs
  const char* make;       // a folder below home to create, or nullptr
  const char* expected;   // below home; "" for home itself
};

TEST(DesktopFolder, FollowsTheUserDirsFileAndFallsBackToHome) {
  const DesktopCase cases[] = {
      {nullptr, "Desktop", "/Desktop"},
      {nullptr, nullptr, ""},
      {"XDG_DESKTOP_DIR=\"$HOME/Bureau\"\n", "Bureau", "/Bureau"},
      {"# comment\nXDG_DESKTOP_DIR=\"$HOME/Bureau/\"\n", "Bureau", "/Bureau"},
      {"XDG_DESKTOP_DIR=\"$HOME/Missing\"\n", "Desktop", ""},  // named but absent: home
  };
  const std::string saved_home = std::getenv("HOME") ? std::getenv("HOME") : "";
  const char* saved_config = std::getenv("XDG_CONFIG_HOME");
  const std::string saved_config_text = saved_config ? saved_config : "";
  for (const auto& c : cases) {
    TemporaryFolder home;
    ::setenv("HOME", home.Path().c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (home.Path() / "config").c_str(), 1);
    std::filesystem::create_directories(home.Path() / "config");
    if (c.user_dirs) home.Write("config/user-dirs.dirs", c.user_dirs);
    if (c.make) std::filesystem::create_directories(home.Path() / c.make);
    EXPECT_EQ(DesktopFolder(), home.Path().string() + c.expected) << c.expected;
  }
  ::setenv("HOME", saved_home.c_str(), 1);
  if (saved_config) {
    ::setenv("XDG_CONFIG_HOME", saved_config_text.c_str(), 1);
  } else {
    ::unsetenv("XDG_CONFIG_HOME");
  }
}

}  // namespace
}  // namespace tallowby
