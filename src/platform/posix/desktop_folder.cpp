#include "platform/posix/desktop_folder.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string_view>

namespace tallowby {

namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

std::string HomeFolder() {
  std::string home = Environment("HOME");
  if (home.empty()) {
    if (const passwd* entry = ::getpwuid(::getuid()); entry != nullptr && entry->pw_dir) {
      home = entry->pw_dir;
    }
  }
  return home;
}

bool IsFolder(const std::string& path) {
  struct stat status {};
  return !path.empty() && ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// Without the trailing separators a folder may be written with; the root stays "/".
std::string WithoutTrailingSeparators(std::string path) {
  while (path.size() > 1 && path.back() == '/')
    path.pop_back();
  return path;
}

// XDG_DESKTOP_DIR="$HOME/Desktop" in user-dirs.dirs: a quoted path, absolute or below $HOME.
std::string DesktopFromUserDirs(const std::string& home) {
  std::string config = Environment("XDG_CONFIG_HOME");
  if (config.empty()) config = home + "/.config";
  std::ifstream file(config + "/user-dirs.dirs");
  constexpr std::string_view kKey = "XDG_DESKTOP_DIR=\"";
  std::string line;
  while (std::getline(file, line)) {
    if (!line.starts_with(kKey)) continue;
    const std::size_t end = line.find('"', kKey.size());
    if (end == std::string::npos) return {};
    std::string value = line.substr(kKey.size(), end - kKey.size());
    if (value.starts_with("$HOME")) return home + value.substr(5);
    return value.starts_with('/') ? value : std::string();
  }
  return {};
}

}  // namespace

std::string DesktopFolder() {
  const std::string home = HomeFolder();
  std::string desktop = DesktopFromUserDirs(home);
  if (desktop.empty() && !home.empty()) desktop = home + "/Desktop";
  if (IsFolder(desktop)) return WithoutTrailingSeparators(desktop);
  if (IsFolder(home)) return WithoutTrailingSeparators(home);
  return {};
}

}  // namespace tallowby
