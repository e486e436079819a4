#include "platform/posix/spreadsheet_plugin.h"

#include <dlfcn.h>
#include <unistd.h>

#include "core/ports/failure.h"

namespace tallowby {

namespace {

// Stands in for a backend that could not be loaded.
class UnavailableSpreadsheet final : public SpreadsheetLauncher {
 public:
  explicit UnavailableSpreadsheet(std::string reason) : reason_(std::move(reason)) {}
  bool IsPresent() override { return false; }
  std::unique_ptr<SpreadsheetApplication> StartHidden() override { throw Failure(reason_); }

 private:
  std::string reason_;
};

// The plugin's launcher, with the plugin kept loaded while it lives.
class PluginLauncher final : public SpreadsheetLauncher {
 public:
  PluginLauncher(void* library, std::unique_ptr<SpreadsheetLauncher> launcher)
      : library_(library), launcher_(std::move(launcher)) {}
  ~PluginLauncher() override {
    launcher_.reset();
    ::dlclose(library_);
  }
  PluginLauncher(const PluginLauncher&) = delete;
  PluginLauncher& operator=(const PluginLauncher&) = delete;

  bool IsPresent() override { return launcher_->IsPresent(); }
  std::unique_ptr<SpreadsheetApplication> StartHidden() override {
    return launcher_->StartHidden();
  }

 private:
  void* library_;
  std::unique_ptr<SpreadsheetLauncher> launcher_;
};

std::unique_ptr<SpreadsheetLauncher> Unavailable(const std::string& reason) {
  return std::make_unique<UnavailableSpreadsheet>("LibreOffice Calc could not be started: " +
                                                  reason);
}

}  // namespace

std::unique_ptr<SpreadsheetLauncher> LoadSpreadsheetPlugin(const std::string& program_folder) {
  const std::string name = kSpreadsheetPluginFileName;
  try {
    std::string path = program_folder;
    if (!path.empty() && path.back() != '/') path += '/';
    path += name;
    if (::access(path.c_str(), F_OK) != 0) {
      return Unavailable("Tallowby's LibreOffice support (" + name + ") is not installed.");
    }
    // The plugin is never unloaded (RTLD_NODELETE): the UNO runtime it brings keeps threads and
    // state for the rest of the process, and an office's threads may still call into it.
    void* library = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (library == nullptr) {
      const char* error = ::dlerror();
      const std::string text = error != nullptr ? error : "unknown reason";
      // The plugin needs LibreOffice's UNO libraries, which come with LibreOffice.
      if (text.find("libuno_") != std::string::npos) {
        return Unavailable("it is not installed (package libreoffice-calc).");
      }
      return Unavailable(name + " could not be loaded (" + text + ").");
    }
    const auto abi = reinterpret_cast<SpreadsheetPluginAbiFunction>(
        ::dlsym(library, kSpreadsheetPluginAbiSymbol));
    const auto create = reinterpret_cast<SpreadsheetPluginCreateFunction>(
        ::dlsym(library, kSpreadsheetPluginCreateSymbol));
    if (abi == nullptr || create == nullptr || abi() != kSpreadsheetPluginAbi) {
      ::dlclose(library);
      return Unavailable(name + " belongs to another version of Tallowby.");
    }
    std::unique_ptr<SpreadsheetLauncher> launcher(create());
    if (!launcher) {
      ::dlclose(library);
      return Unavailable(name + " did not start.");
    }
    return std::make_unique<PluginLauncher>(library, std::move(launcher));
  } catch (...) {
    return Unavailable(DescribeCurrentException());
  }
}

}  // namespace tallowby
