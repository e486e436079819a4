// The settings store through QSettings. On Unix: the INI file Kestrelane.conf in the user's
// configuration folder, group [Tallowby]; on Windows: the registry's program-settings area,
// HKEY_CURRENT_USER\Software\VB and VBA Program Settings\Kestrelane\Tallowby.
#pragma once

#include "core/ports/settings_store.h"

namespace tallowby {

class QtSettingsStore final : public SettingsStore {
 public:
  std::string Read(std::string_view key, const std::string& default_value) override;
  void Write(std::string_view key, const std::string& value) override;
};

}  // namespace tallowby
