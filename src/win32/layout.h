// The main window's controls as they were designed: names, kinds, captions and places in twips
// (1/1440 inch), in the order the keyboard visits them. The control identifiers are part of the
// program's face to tools that drive it, as the names are: they must not change.
#pragma once

#include <array>

namespace tallowby::win32 {

enum class ControlKind { Frame, Option, Field, Button, ProgressBar };

struct ControlLayout {
  int id;
  const char* name;
  ControlKind kind;
  const char* caption;
  // Within the window's client area; a frame's children are placed here already resolved.
  int left, top, width, height;
  // The first option of a group starts the group, as does every control that takes the focus.
  bool starts_group;
};

// The client area: 8040 x 5460 twips.
inline constexpr int kClientWidthTwips = 8040;
inline constexpr int kClientHeightTwips = 5460;

inline constexpr int kText1 = 101;
inline constexpr int kText2 = 102;
inline constexpr int kText3 = 103;
inline constexpr int kOption1 = 111;
inline constexpr int kOption2 = 112;
inline constexpr int kOption3 = 113;
inline constexpr int kOption4 = 114;
inline constexpr int kOption6 = 116;
inline constexpr int kOption7 = 117;
inline constexpr int kFrame1 = 121;
inline constexpr int kFrame2 = 122;
inline constexpr int kFrame3 = 123;
inline constexpr int kFrame4 = 124;
inline constexpr int kFrame5 = 125;
inline constexpr int kPushButton1 = 131;
inline constexpr int kPushButton6 = 136;
inline constexpr int kProgressBar1 = 141;

// Tab order first; the frames, which never take the focus, last, so they lie beneath the
// controls they hold.
inline constexpr std::array<ControlLayout, 17> kLayout = {{
    {kText2, "Text2", ControlKind::Field, "", 360, 1980, 7305, 345, true},
    {kText1, "Text1", ControlKind::Field, "", 360, 2880, 7305, 345, true},
    {kPushButton6, "PushButton6", ControlKind::Button, "Start Generating", 120, 4410, 7800, 405,
     true},
    {kOption4, "Option4", ControlKind::Option, "Text File", 360, 420, 1095, 240, true},
    {kOption6, "Option6", ControlKind::Option, "Excel File", 1920, 420, 1215, 240, false},
    {kOption1, "Option1", ControlKind::Option, "All numbers", 360, 1200, 1335, 240, true},
    {kOption2, "Option2", ControlKind::Option, "Even", 1920, 1200, 735, 240, false},
    {kOption3, "Option3", ControlKind::Option, "Odd", 2880, 1200, 735, 240, false},
    {kOption7, "Option7", ControlKind::Option, "Prime only", 3840, 1200, 1335, 240, false},
    {kProgressBar1, "ProgressBar1", ControlKind::ProgressBar, "", 120, 4930, 7800, 405, true},
    {kText3, "Text3", ControlKind::Field, "", 360, 3780, 6630, 345, true},
    {kPushButton1, "PushButton1", ControlKind::Button, "...", 7080, 3780, 600, 345, true},
    {kFrame2, "Frame2", ControlKind::Frame, "Output", 120, 120, 7800, 705, false},
    {kFrame1, "Frame1", ControlKind::Frame, "Types", 120, 900, 7800, 705, false},
    {kFrame4, "Frame4", ControlKind::Frame, "Highest possible number", 120, 1680, 7800, 825, false},
    {kFrame3, "Frame3", ControlKind::Frame, "How many numbers to generate?", 120, 2580, 7800, 825,
     false},
    {kFrame5, "Frame5", ControlKind::Frame, "Save Results To This Folder", 120, 3480, 7800, 810,
     false},
}};

}  // namespace tallowby::win32
