#include "platform/windows/registry_settings_store.h"

#include <windows.h>

#include "core/ports/failure.h"
#include "core/window/settings_keys.h"
#include "platform/windows/system_error.h"
#include "platform/windows/wide_text.h"

namespace tallowby {

namespace {

class OpenKey {
 public:
  OpenKey() = default;
  ~OpenKey() {
    if (key_ != nullptr) RegCloseKey(key_);
  }
  OpenKey(const OpenKey&) = delete;
  OpenKey& operator=(const OpenKey&) = delete;
  HKEY* Out() { return &key_; }
  HKEY Get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

[[noreturn]] void ThrowStoreFailure(const char* what, LONG error) {
  throw Failure(std::string(what) + ": " + DescribeSystemError(static_cast<unsigned long>(error)),
                static_cast<int>(error));
}

}  // namespace

std::string RegistrySettingsStore::DefaultKey() {
  return "Software\\VB and VBA Program Settings\\" + std::string(kSettingsApplication) + "\\" +
         std::string(kSettingsSection);
}

// Values are REG_SZ, as earlier versions wrote them with the ANSI functions: the registry keeps
// every text as UTF-16 whichever functions wrote it, so the wide functions read those values
// back exactly and can keep names outside the user's code page too.
std::string RegistrySettingsStore::Read(std::string_view key, const std::string& default_value) {
  OpenKey section;
  const LONG opened =
      RegOpenKeyExW(HKEY_CURRENT_USER, Widen(key_).c_str(), 0, KEY_QUERY_VALUE, section.Out());
  if (opened == ERROR_FILE_NOT_FOUND) return default_value;
  if (opened != ERROR_SUCCESS) ThrowStoreFailure("The settings could not be read", opened);
  const std::wstring name = Widen(key);
  DWORD type = 0;
  DWORD size = 0;
  LONG queried = RegQueryValueExW(section.Get(), name.c_str(), nullptr, &type, nullptr, &size);
  if (queried == ERROR_FILE_NOT_FOUND) return default_value;
  if (queried != ERROR_SUCCESS) ThrowStoreFailure("The settings could not be read", queried);
  // Only text is the program's: anything else under its name counts as not stored.
  if (type != REG_SZ && type != REG_EXPAND_SZ) return default_value;
  std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
  queried = RegQueryValueExW(section.Get(), name.c_str(), nullptr, &type,
                             reinterpret_cast<BYTE*>(text.data()), &size);
  if (queried != ERROR_SUCCESS) ThrowStoreFailure("The settings could not be read", queried);
  // The stored text may or may not end in its NUL; it ends at the first one.
  return Narrow(text.c_str());
}

void RegistrySettingsStore::Write(std::string_view key, const std::string& value) {
  OpenKey section;
  const LONG created = RegCreateKeyExW(HKEY_CURRENT_USER, Widen(key_).c_str(), 0, nullptr, 0,
                                       KEY_SET_VALUE, nullptr, section.Out(), nullptr);
  if (created != ERROR_SUCCESS) ThrowStoreFailure("The settings could not be saved", created);
  const std::wstring text = Widen(value);
  const LONG set = RegSetValueExW(section.Get(), Widen(key).c_str(), 0, REG_SZ,
                                  reinterpret_cast<const BYTE*>(text.c_str()),
                                  static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  if (set != ERROR_SUCCESS) ThrowStoreFailure("The settings could not be saved", set);
}

}  // namespace tallowby
