// Legible in every colour scheme: Tallowby.exe photographed through its window handle in a
// light, a dark and a high-contrast set of system colours, with and without its skin, and every
// text measured against its own background.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "support/text_contrast.h"
#include "win32/tallowby_exe.h"

namespace tallowby {
namespace {

using namespace testing;

constexpr double kLegible = 4.5;

// The system colours of a scheme, as the registry gives them to every program started after.
struct Scheme {
  const char* name;
  std::vector<std::pair<const char*, const char*>> colours;
};

const Scheme kSchemes[] = {
    {"light", {}},
    {"dark",
     {{"Window", "32 32 32"},
      {"WindowText", "230 230 230"},
      {"ButtonFace", "45 45 45"},
      {"ButtonText", "230 230 230"},
      {"Hilight", "0 84 153"},
      {"HilightText", "255 255 255"},
      {"ButtonShadow", "20 20 20"},
      {"ButtonHilight", "90 90 90"},
      {"ButtonLight", "70 70 70"},
      {"ButtonDkShadow", "10 10 10"},
      {"GrayText", "160 160 160"},
      {"WindowFrame", "90 90 90"}}},
    {"high contrast",
     {{"Window", "0 0 0"},
      {"WindowText", "255 255 255"},
      {"ButtonFace", "0 0 0"},
      {"ButtonText", "255 255 255"},
      {"Hilight", "26 235 255"},
      {"HilightText", "0 0 0"},
      {"ButtonShadow", "128 128 128"},
      {"ButtonHilight", "192 192 192"},
      {"ButtonLight", "160 160 160"},
      {"ButtonDkShadow", "64 64 64"},
      {"GrayText", "63 242 63"},
      {"WindowFrame", "255 255 255"}}},
};

// The scheme's colours, for the programs started while they live.
std::vector<TemporaryRegistryValue> SystemColours(const Scheme& scheme) {
  std::vector<TemporaryRegistryValue> colours;
  for (const auto& [name, rgb] : scheme.colours) {
    colours.push_back(TemporaryRegistryValue::Text(HKEY_CURRENT_USER, L"Control Panel\\Colors",
                                                   Widen(name), rgb));
  }
  return colours;
}

// How wide a text is in the window's font: Arial, bold, 9 points at 96 dots per inch.
int TextWidth(const std::string& text, bool button) {
  const HDC screen = GetDC(nullptr);
  const HFONT font = CreateFontW(button ? -15 : -12, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, 204,
                                 OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                 DEFAULT_PITCH | FF_SWISS, L"Arial");
  const HGDIOBJ old = SelectObject(screen, font);
  SIZE size{};
  const std::wstring wide = Widen(text);
  GetTextExtentPoint32W(screen, wide.c_str(), static_cast<int>(wide.size()), &size);
  SelectObject(screen, old);
  DeleteObject(font);
  ReleaseDC(nullptr, screen);
  return size.cx;
}

// Where a control's text is drawn: after a frame's corner, after an option's circle, at a
// field's left, in the middle of a button or the bar.
Area TextArea(const DesignedControl& c, const std::string& text) {
  const bool button = c.id == kPushButton1 || c.id == kPushButton6;
  const int width = TextWidth(text, button) + 2;
  // The middle of a frame's caption: its ends lie near the gap it leaves in the frame's line.
  if (c.id >= kFrame1 && c.id <= kFrame5) return {c.left + 14, c.top, width * 3 / 4, 13};
  if (c.id >= kOption1 && c.id <= kOption7) return {c.left + 16, c.top + 1, width, c.height - 2};
  if (c.id == kText1 || c.id == kText2 || c.id == kText3) {
    return {c.left + 4, c.top + 4, width, c.height - 8};
  }
  return {c.left + (c.width - width) / 2, c.top + 4, width, c.height - 8};
}

class ColourScheme : public WindowTest {};

TEST_F(ColourScheme, EveryTextOfTheWindowIsLegibleInEveryScheme) {
  for (const Scheme& scheme : kSchemes) {
    const std::vector<TemporaryRegistryValue> colours = SystemColours(scheme);
    for (bool skinned : {false, true}) {
      TemporaryFolder program_folder;
      const std::string program = Cat(program_folder.Path().string(), "\\Tallowby.exe");
      ASSERT_TRUE(CopyFileW(Widen(HostPath(TALLOWBY_EXE)).c_str(), Widen(program).c_str(), FALSE));
      if (skinned) {
        CreateDirectoryW(Widen(program_folder.Path().string() + "\\x").c_str(), nullptr);
        program_folder.Write("x\\o.cjs", "skin");
      }
      Program running(program);
      // Nothing selected: a selection is drawn in the user's own selection colours.
      SendMessageW(running.Control(kText2), EM_SETSEL, 0, 0);
      SetForegroundWindow(running.Main());
      std::this_thread::sleep_for(500ms);  // painted
      const Screenshot shot = Photograph(running.Main());
      std::string picture = Cat("tallowby-exe-", scheme.name, skinned ? "" : "-plain", ".bmp");
      std::replace(picture.begin(), picture.end(), ' ', '-');
      Keep(shot, picture);
      for (const DesignedControl& c : kDesignedLayout) {
        const std::string text = c.id == kProgressBar1  ? "Progress Bar"
                                 : c.caption != nullptr ? c.caption
                                                        : running.Text(c.id);
        EXPECT_GE(TextContrast(shot, TextArea(c, text)), kLegible)
            << scheme.name << (skinned ? ", skinned: " : ": ") << c.name;
      }
    }
  }
}

}  // namespace
}  // namespace tallowby
