// The settings store on Windows: string values under
// HKEY_CURRENT_USER\Software\VB and VBA Program Settings\Kestrelane\Tallowby, where earlier
// Windows versions of the program kept their values, so they are found again.
#pragma once

#include <string>

#include "core/ports/settings_store.h"

namespace tallowby {

class RegistrySettingsStore final : public SettingsStore {
 public:
  // The key below HKEY_CURRENT_USER; tests name a key of their own.
  explicit RegistrySettingsStore(std::string key = DefaultKey()) : key_(std::move(key)) {}

  std::string Read(std::string_view key, const std::string& default_value) override;
  void Write(std::string_view key, const std::string& value) override;

  static std::string DefaultKey();

 private:
  std::string key_;
};

}  // namespace tallowby
