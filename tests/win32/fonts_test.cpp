// Whole captions whatever the system resolves the window's Arial to: Tallowby.exe with Arial
// made DejaVu Sans, which is wider, through the prefix's font substitutes.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "win32/tallowby_exe.h"

namespace tallowby {
namespace {

using namespace testing;

// Makes Arial another font for the programs started while it lives.
class SubstitutedArial {
 public:
  explicit SubstitutedArial(const wchar_t* font) {
    RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key_, nullptr);
    RegSetValueExW(key_, L"Arial", 0, REG_SZ, reinterpret_cast<const BYTE*>(font),
                   static_cast<DWORD>((wcslen(font) + 1) * sizeof(wchar_t)));
  }
  ~SubstitutedArial() {
    RegDeleteValueW(key_, L"Arial");
    RegCloseKey(key_);
  }
  SubstitutedArial(const SubstitutedArial&) = delete;
  SubstitutedArial& operator=(const SubstitutedArial&) = delete;

 private:
  static constexpr wchar_t kKey[] =
      L"Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes";
  HKEY key_ = nullptr;
};

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

// Large fonts, as Windows' 150 % setting gives them, for the programs started while it lives.
class DotsPerInch {
 public:
  explicit DotsPerInch(DWORD dpi) {
    RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0,
                    KEY_READ | KEY_WRITE, nullptr, &key_, nullptr);
    DWORD size = sizeof old_;
    had_ = RegQueryValueExW(key_, L"LogPixels", nullptr, nullptr, reinterpret_cast<BYTE*>(&old_),
                            &size) == ERROR_SUCCESS;
    RegSetValueExW(key_, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi),
                   sizeof dpi);
  }
  ~DotsPerInch() {
    if (had_) {
      RegSetValueExW(key_, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&old_),
                     sizeof old_);
    } else {
      RegDeleteValueW(key_, L"LogPixels");
    }
    RegCloseKey(key_);
  }
  DotsPerInch(const DotsPerInch&) = delete;
  DotsPerInch& operator=(const DotsPerInch&) = delete;

 private:
  HKEY key_ = nullptr;
  bool had_ = false;
  DWORD old_ = 96;
};

class Fonts : public WindowTest {};

TEST_F(Fonts, AtOneAndAHalfTimesTheSizeTheWindowIsTheDesignScaledWithCaptionsWhole) {
  const DotsPerInch large(144);
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
  const SubstitutedArial wider(L"DejaVu Sans");
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
