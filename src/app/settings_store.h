// The per-user settings store: a few texts under one application and one section name.
//
// Linux and other Unix: the INI file Kestrelane.conf in the user's configuration folder, group
// [Tallowby]. Windows: HKEY_CURRENT_USER\Software\VB and VBA Program Settings\Kestrelane\Tallowby,
// where earlier Windows versions of the program kept their values.
#pragma once

#include <QString>

namespace tallowby {

inline constexpr const char* kSettingsApplication = "Kestrelane";
inline constexpr const char* kSettingsSection = "Tallowby";

// The stored text when the key exists, also when it is empty; otherwise the default. Throws
// Failure when the store cannot be read at all.
QString ReadSetting(const QString& application, const QString& section, const QString& key,
                    const QString& default_value);

// Creates or replaces the entry and writes it through to the store at once. Throws Failure when
// the store cannot be written; the caller's own copy of the text is untouched either way.
void WriteSetting(const QString& application, const QString& section, const QString& key,
                  const QString& value);

}  // namespace tallowby
