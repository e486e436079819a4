// The texts the window shows of its own (the run's texts stay with the run), and the files it
// looks for in the program folder.
#pragma once

#include <string>
#include <string_view>

namespace tallowby {

inline constexpr std::string_view kSpreadsheetMissing = "Excel is not installed.";
inline constexpr std::string_view kFolderChooserTitle = "Save To This Folder";

// Below the program folder, which is written without a trailing separator.
#ifdef _WIN32
inline constexpr std::string_view kSkinFile = "\\x\\o.cjs";
inline constexpr std::string_view kHandCursorFile = "\\HAND-M.CUR";
#else
inline constexpr std::string_view kSkinFile = "/x/o.cjs";
inline constexpr std::string_view kHandCursorFile = "/HAND-M.CUR";
#endif

// Shown once when a field's text cannot be stored.
inline std::string FailedStoreNotice(std::string_view description) {
  std::string text(description);
  text.append(
      ".\r\n\r\nTallowby keeps working with what you typed, but cannot remember it for the "
      "next start.");
  return text;
}

}  // namespace tallowby
