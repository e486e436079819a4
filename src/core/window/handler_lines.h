// The steps of the window's two guarded handlers by the line numbers their failures are reported
// with. Users quote these numbers from error reports, and reports of every earlier version carry
// them: they must never change. ("Start Generating" keeps its own beside the run.)
#pragma once

namespace tallowby {

namespace load_line {
inline constexpr int kApplySkin = 100;
inline constexpr int kLookForHandCursor = 104;
inline constexpr int kLoadHandCursor = 106;
inline constexpr int kVisitSite = 108;
inline constexpr int kCaptionIconAndTitle = 126;
inline constexpr int kRestoreCount = 128;
inline constexpr int kRestoreHighest = 130;
inline constexpr int kRestoreFolder = 132;
}  // namespace load_line

namespace folder_button_line {
inline constexpr int kChooseFolder = 100;
inline constexpr int kCheckCancelled = 102;
inline constexpr int kStoreFolder = 104;
inline constexpr int kShowWithSeparator = 106;
inline constexpr int kShowAsChosen = 108;
}  // namespace folder_button_line

}  // namespace tallowby
