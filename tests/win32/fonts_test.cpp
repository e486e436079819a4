// Whole captions whatever the system resolves the window's Arial to: Tallowby.exe with Arial
// made DejaVu Sans, which is wider, through the prefix's font substitutes.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "win32/tallowby_exe.h"

namespace tallowby {
namespace {

using namespace testing;

RECT PlaceOf(HWND control, HWND window) {
  RECT place{};
  GetWindowRect(control, &place);
  MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&place), 2);
  return place;
}

// A caption cut at its control's edge leaves ink in the control's last columns; a whole one
// leaves them to the background.
bool EndsInBackground(const Screenshot& shot, const RECT& place) {
  const std::uint32_t background = shot.At(place.right - 1, place.top);
  for (int y = place.top; y < place.bottom; ++y) {
    for (int x = place.right - 2; x < place.right; ++x) {
      if (shot.At(x, y) != background) return false;
    }
  }
  return true;
}

// Arial made another font, for the programs started while it lives.
TemporaryRegistryValue SubstitutedArial(const std::string& font) {
  return TemporaryRegistryValue::Text(
      HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes",
      L"Arial", font);
}

// Large fonts, as Windows' 150 % setting gives them.
TemporaryRegistryValue DotsPerInch(DWORD dpi) {
  return TemporaryRegistryValue(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels",
                                REG_DWORD, &dpi, sizeof dpi);
}

class Fonts : public WindowTest {};

TEST_F(Fonts, AtOneAndAHalfTimesTheSizeTheWindowIsTheDesignScaledWithCaptionsWhole) {
  const TemporaryRegistryValue large = DotsPerInch(144);
  Program program;
  SetForegroundWindow(program.Main());
  std::this_thread::sleep_for(500ms);  // painted
  const Screenshot shot = Photograph(program.Main());
  EXPECT_EQ(shot.width, kDesignedClientWidth * 3 / 2);
  EXPECT_EQ(shot.height, kDesignedClientHeight * 3 / 2);
  for (const DesignedControl& c : kDesignedLayout) {
    const RECT place = PlaceOf(program.Control(c.id), program.Main());
    // Half pixels of the design round either way.
    EXPECT_NEAR(place.left, c.left * 3 / 2, 1) << c.name;
    EXPECT_NEAR(place.top, c.top * 3 / 2, 1) << c.name;
    EXPECT_NEAR(place.right - place.left, c.width * 3 / 2, 1) << c.name;
    EXPECT_NEAR(place.bottom - place.top, c.height * 3 / 2, 1) << c.name;
    if (std::string(c.name).starts_with("Option")) {
      EXPECT_TRUE(EndsInBackground(shot, place)) << c.name << " is cut";
    }
  }
}

TEST_F(Fonts, EveryOptionCaptionIsWholeInAWiderFont) {
  const TemporaryRegistryValue wider = SubstitutedArial("DejaVu Sans");
  Program program;
  SetForegroundWindow(program.Main());
  std::this_thread::sleep_for(500ms);  // painted
  const Screenshot shot = Photograph(program.Main());
  Keep(shot, "tallowby-exe-dejavu.bmp");
  std::vector<std::pair<const char*, RECT>> options;
  for (const DesignedControl& c : kDesignedLayout) {
    const RECT place = PlaceOf(program.Control(c.id), program.Main());
    EXPECT_EQ(place.left, c.left) << c.name;  // every position stays as designed
    EXPECT_EQ(place.top, c.top) << c.name;
    if (std::string(c.name).starts_with("Option")) {
      EXPECT_TRUE(EndsInBackground(shot, place))
          << c.name << " is cut " << place.left << "," << place.top << "-" << place.right << ","
          << place.bottom;
      options.push_back({c.name, place});
    }
  }
  // The font really is wider: "All numbers" needed more room than designed.
  EXPECT_GT(PlaceOf(program.Control(kOption1), program.Main()).right, 24 + 89);
  for (const auto& [a, place_a] : options) {
    for (const auto& [b, place_b] : options) {
      RECT overlap{};
      if (a != b) {
        EXPECT_FALSE(IntersectRect(&overlap, &place_a, &place_b)) << a << " " << b;
      }
    }
  }
}

}  // namespace
}  // namespace tallowby
