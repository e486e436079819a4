// What the Excel tests and the stand-in automation server share: its identity, and where the
// tests tell it how to behave.
#pragma once

#include <windows.h>

namespace tallowby::testing {

// {6B0F3C1E-5D2A-4C7B-9E41-0A8D2F7C3B55}
inline constexpr CLSID kStandInClassId = {
    0x6b0f3c1e, 0x5d2a, 0x4c7b, {0x9e, 0x41, 0x0a, 0x8d, 0x2f, 0x7c, 0x3b, 0x55}};
inline constexpr const char* kStandInClassIdText = "{6B0F3C1E-5D2A-4C7B-9E41-0A8D2F7C3B55}";
inline constexpr const char* kStandInProgId = "Tallowby.ExcelStandIn";

// A class registered with a server program that does not exist.
inline constexpr const char* kMissingServerClassIdText = "{6B0F3C1E-5D2A-4C7B-9E41-0A8D2F7C3B56}";
inline constexpr const char* kMissingServerProgId = "Tallowby.MissingServer";

// Read by the stand-in each time an application object is created (under HKEY_CURRENT_USER):
//   Log        file the new application writes its calls and, at its end, its cells to
//   Fail       member that fails with an exception carrying a description
//   FailPlain  member that fails with E_ACCESSDENIED and no description
//   Refuse     "1": no object is created
inline constexpr const char* kStandInSettingsKey = "Software\\Tallowby Tests\\Excel Stand-In";

// The error the stand-in raises for the member named by Fail, as Excel raises its own.
inline constexpr HRESULT kStandInErrorCode = static_cast<HRESULT>(0x800A03EC);

}  // namespace tallowby::testing
