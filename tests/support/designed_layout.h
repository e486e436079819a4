// The main window as it was designed, in pixels of the client area at 96 dots per inch (frames
// resolved), worked out by hand from the design's twips, with each control's contract names: the
// yardstick both windows' layout tests hold their real controls against. It is a copy of its
// own on purpose: a test against the program's own table would prove nothing.
#pragma once

namespace tallowby::testing {

inline constexpr int kDesignedClientWidth = 536;
inline constexpr int kDesignedClientHeight = 364;

// The Win32 control identifiers, which tools that drive Tallowby.exe rely on.
enum DesignedId : int {
  kText1 = 101,
  kText2 = 102,
  kText3 = 103,
  kOption1 = 111,
  kOption2 = 112,
  kOption3 = 113,
  kOption4 = 114,
  kOption6 = 116,
  kOption7 = 117,
  kFrame1 = 121,
  kFrame2 = 122,
  kFrame3 = 123,
  kFrame4 = 124,
  kFrame5 = 125,
  kPushButton1 = 131,
  kPushButton6 = 136,
  kProgressBar1 = 141,
};

struct DesignedControl {
  const char* name;
  int id;
  const char* caption;  // nullptr: a field or the bar, whose text is not a caption
  int left;
  int top;
  int width;
  int height;
};

inline constexpr DesignedControl kDesignedLayout[] = {
    {"Frame2", kFrame2, "Output", 8, 8, 520, 47},
    {"Option4", kOption4, "Text File", 24, 28, 73, 16},
    {"Option6", kOption6, "Excel File", 128, 28, 81, 16},
    {"Frame1", kFrame1, "Types", 8, 60, 520, 47},
    {"Option1", kOption1, "All numbers", 24, 80, 89, 16},
    {"Option2", kOption2, "Even", 128, 80, 49, 16},
    {"Option3", kOption3, "Odd", 192, 80, 49, 16},
    {"Option7", kOption7, "Prime only", 256, 80, 89, 16},
    {"Frame4", kFrame4, "Highest possible number", 8, 112, 520, 55},
    {"Text2", kText2, nullptr, 24, 132, 487, 23},
    {"Frame3", kFrame3, "How many numbers to generate?", 8, 172, 520, 55},
    {"Text1", kText1, nullptr, 24, 192, 487, 23},
    {"Frame5", kFrame5, "Save Results To This Folder", 8, 232, 520, 54},
    {"Text3", kText3, nullptr, 24, 252, 442, 23},
    {"PushButton1", kPushButton1, "...", 472, 252, 40, 23},
    {"PushButton6", kPushButton6, "Start Generating", 8, 294, 520, 27},
    {"ProgressBar1", kProgressBar1, nullptr, 8, 329, 520, 27},
};

// The focus sequence by object name, wrapping round: an option group is one stop.
inline constexpr const char* kDesignedTabStops[] = {"Text2",   "Text1", "PushButton6", "Option4",
                                                    "Option1", "Text3", "PushButton1"};

}  // namespace tallowby::testing
