// Registering the stand-in automation server, shared by the Excel backend's tests and the
// window's end-to-end test.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "wine.h"

namespace tallowby::testing {

inline std::string BesideThisProgram(const std::string& name) {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, length);
  return folder.substr(0, folder.find_last_of('\\') + 1) + name;
}

inline void SetDefaultValue(HKEY root, const std::string& key, const std::string& value) {
  HKEY handle = nullptr;
  ASSERT_EQ(RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr),
            ERROR_SUCCESS)
      << key;
  EXPECT_EQ(RegSetValueExA(handle, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                           static_cast<DWORD>(value.size() + 1)),
            ERROR_SUCCESS);
  RegCloseKey(handle);
}

// Registers a class as a local server under its ProgID, for as long as it lives. Wine reads
// class registrations from the machine's classes only; Windows takes the user's too.
class LocalServerRegistration {
 public:
  LocalServerRegistration(const std::string& class_id, const std::string& prog_id,
                          const std::string& command_line)
      : clsid_key_("Software\\Classes\\CLSID\\" + class_id),
        prog_id_key_("Software\\Classes\\" + prog_id) {
    SetDefaultValue(root_, clsid_key_ + "\\LocalServer32", command_line);
    SetDefaultValue(root_, clsid_key_ + "\\ProgID", prog_id);
    SetDefaultValue(root_, prog_id_key_ + "\\CLSID", class_id);
  }
  ~LocalServerRegistration() {
    RegDeleteTreeA(root_, clsid_key_.c_str());
    RegDeleteTreeA(root_, prog_id_key_.c_str());
  }
  LocalServerRegistration(const LocalServerRegistration&) = delete;
  LocalServerRegistration& operator=(const LocalServerRegistration&) = delete;

 private:
  HKEY root_ = RunningUnderWine() ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
  std::string clsid_key_;
  std::string prog_id_key_;
};

}  // namespace tallowby::testing
