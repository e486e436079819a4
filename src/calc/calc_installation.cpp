#include "calc/calc_installation.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string_view>
#include <system_error>
#include <vector>

namespace tallowby::calc {

namespace {

namespace fs = std::filesystem;

bool IsExecutableFile(const fs::path& path) {
  std::error_code error;
  return fs::is_regular_file(path, error) && ::access(path.c_str(), X_OK) == 0;
}

// The folder that holds the office's program, or nothing when start_script does not belong to
// one. Distributions link soffice from a folder on PATH to the office's own folder.
std::optional<fs::path> OfficeFolder(const fs::path& start_script) {
  std::error_code error;
  const fs::path resolved = fs::canonical(start_script, error);
  if (error || !IsExecutableFile(resolved)) return std::nullopt;
  fs::path folder = resolved.parent_path();
  if (!IsExecutableFile(folder / "soffice.bin")) return std::nullopt;
  return folder;
}

std::vector<fs::path> Candidates() {
  std::vector<fs::path> candidates;
  if (const char* path = std::getenv("PATH")) {
    std::string_view rest = path;
    while (!rest.empty()) {
      const std::size_t end = std::min(rest.find(':'), rest.size());
      if (end > 0) candidates.push_back(fs::path(rest.substr(0, end)) / "soffice");
      rest.remove_prefix(std::min(end + 1, rest.size()));
    }
  }
  candidates.emplace_back("/usr/lib/libreoffice/program/soffice");
  candidates.emplace_back("/usr/lib64/libreoffice/program/soffice");
  // The maker's own packages install into /opt/libreoffice<version>; the newest first.
  std::vector<fs::path> own_packages;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator("/opt", error)) {
    if (entry.path().filename().string().starts_with("libreoffice")) {
      own_packages.push_back(entry.path() / "program" / "soffice");
    }
  }
  std::sort(own_packages.rbegin(), own_packages.rend());
  candidates.insert(candidates.end(), own_packages.begin(), own_packages.end());
  return candidates;
}

bool HasWindowPlugin(const fs::path& folder) {
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(folder, error)) {
    const std::string name = entry.path().filename().string();
    // Every plugin but the one that draws into memory ("svp") talks to a window system.
    if (name.starts_with("libvclplug_") && !name.starts_with("libvclplug_svp")) return true;
  }
  return false;
}

}  // namespace

CalcInstallation InspectCalcInstallation(const std::string& soffice) {
  std::optional<fs::path> folder;
  fs::path start_script;
  if (!soffice.empty()) {
    start_script = soffice;
    folder = OfficeFolder(start_script);
  } else {
    for (const fs::path& candidate : Candidates()) {
      folder = OfficeFolder(candidate);
      if (folder) {
        start_script = *folder / "soffice";
        break;
      }
    }
  }
  CalcInstallation installation;
  if (!folder) return installation;
  installation.soffice = start_script.string();
  std::error_code error;
  if (!fs::exists(*folder / "libsclo.so", error)) {
    installation.state = CalcInstallState::kNoCalc;
  } else if (!HasWindowPlugin(*folder)) {
    installation.state = CalcInstallState::kNoWindows;
  } else {
    installation.state = CalcInstallState::kPresent;
  }
  return installation;
}

std::string DescribeMissingCalc(CalcInstallState state) {
  switch (state) {
    case CalcInstallState::kPresent:
      break;
    case CalcInstallState::kNoOffice:
      return "LibreOffice Calc could not be started: it is not installed (package "
             "libreoffice-calc).";
    case CalcInstallState::kNoCalc:
      return "LibreOffice Calc could not be started: LibreOffice is installed without Calc "
             "(package libreoffice-calc).";
    case CalcInstallState::kNoWindows:
      return "LibreOffice Calc could not be started: the LibreOffice installed cannot show "
             "windows (install libreoffice-calc rather than libreoffice-calc-nogui).";
  }
  return {};
}

}  // namespace tallowby::calc
