// What the program keeps in the settings store: its application and section names, and one key
// for each field with the text the field shows while nothing is stored.
//
// The names are read back by every earlier version of the program from the same store: they
// must never change.
#pragma once

#include <array>
#include <string_view>

#include "core/ports/window_view.h"

namespace tallowby {

inline constexpr std::string_view kSettingsApplication = "Kestrelane";
inline constexpr std::string_view kSettingsSection = "Tallowby";

struct FieldSetting {
  Field field;
  std::string_view key;
  // The folder field's default is the desktop folder, found at start-up, not a fixed text.
  std::string_view default_text;
};

inline constexpr std::array<FieldSetting, 3> kFieldSettings = {{
    {Field::Count, "Text1", "100"},
    {Field::Highest, "Text2", "100000"},
    {Field::Folder, "Text3", ""},
}};

// The folder last picked in the folder dialog, exactly as the dialog returned it.
inline constexpr std::string_view kLastFolderKey = "LastFolderDot";

constexpr const FieldSetting& SettingOf(Field field) {
  for (const FieldSetting& setting : kFieldSettings) {
    if (setting.field == field) return setting;
  }
  return kFieldSettings[0];
}

}  // namespace tallowby
