// The user's colour scheme, and what it means for each control's background: the window is
// designed white, which holds in light schemes only. In a dark or high-contrast scheme the text
// colours are the user's light ones, so a forced white would leave white text on white: there
// the window follows the user's colours throughout.
#pragma once

#include <cstdint>
#include <string_view>

#include "core/window/form_description.h"

namespace tallowby {

struct Rgb {
  std::uint8_t red;
  std::uint8_t green;
  std::uint8_t blue;
};

enum class ColourScheme { Light, Dark, HighContrast };

// The relative luminance of a colour, 0 for black to 1 for white, as WCAG defines it.
double RelativeLuminance(Rgb colour);

// The scheme of a desktop whose windows are `background` with `text` on them. A system's own
// high-contrast setting wins; otherwise a background darker than its text is a dark scheme.
ColourScheme SchemeOf(Rgb background, Rgb text, bool high_contrast_on);

// Where a control's background comes from.
enum class Background {
  DesignedWhite,  // white, as the window was designed
  ButtonFace,     // the system's button-face colour, which a skin brings
  Users,          // the user's own colour for that kind of control
};

// The one rule from scheme to colours, for the window itself (its colour role is kWindow's) and
// for every control by its colour role.
constexpr Background BackgroundFor(ColourRole role, bool skin_applied, ColourScheme scheme) {
  if (scheme != ColourScheme::Light) return Background::Users;
  switch (role) {
    case ColourRole::Surface:
      return skin_applied ? Background::ButtonFace : Background::DesignedWhite;
    case ColourRole::White:
      return Background::DesignedWhite;
    case ColourRole::SystemField:
      return Background::Users;
  }
  return Background::Users;
}

// Skins see the scheme as this property of the main window, so a skin's style sheet can give
// its dark and high-contrast variants: Form1[colourScheme="dark"] ...
inline constexpr std::string_view kColourSchemeProperty = "colourScheme";

constexpr std::string_view SchemeName(ColourScheme scheme) {
  switch (scheme) {
    case ColourScheme::Dark:
      return "dark";
    case ColourScheme::HighContrast:
      return "high-contrast";
    case ColourScheme::Light:
      break;
  }
  return "light";
}

}  // namespace tallowby
