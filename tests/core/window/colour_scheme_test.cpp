// The rule from the user's scheme to each control's background.
#include "core/window/colour_scheme.h"

#include <gtest/gtest.h>

namespace tallowby {
namespace {

TEST(SchemeOf, IsDarkWhenTheBackgroundIsDarkerThanItsTextAndHighContrastWhenTheSystemSaysSo) {
  const struct {
    Rgb background, text;
    bool high_contrast;
    ColourScheme scheme;
  } cases[] = {
      {{255, 255, 255}, {0, 0, 0}, false, ColourScheme::Light},
      {{239, 239, 239}, {0, 0, 0}, false, ColourScheme::Light},
      {{53, 53, 53}, {255, 255, 255}, false, ColourScheme::Dark},
      {{0, 0, 0}, {255, 255, 0}, false, ColourScheme::Dark},
      {{255, 255, 255}, {0, 0, 0}, true, ColourScheme::HighContrast},  // high contrast white
      {{0, 0, 0}, {255, 255, 255}, true, ColourScheme::HighContrast},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SchemeOf(c.background, c.text, c.high_contrast), c.scheme)
        << SchemeName(c.scheme) << " " << int(c.background.red);
  }
}

TEST(BackgroundFor, KeepsTheDesignedWhiteInLightSchemesOnlyAndTheUsersColoursElsewhere) {
  const struct {
    ColourRole role;
    bool skinned;
    Background light;
  } cases[] = {
      {ColourRole::Surface, false, Background::DesignedWhite},
      {ColourRole::Surface, true, Background::ButtonFace},
      {ColourRole::White, false, Background::DesignedWhite},
      {ColourRole::White, true, Background::DesignedWhite},
      {ColourRole::SystemField, false, Background::Users},
      {ColourRole::SystemField, true, Background::Users},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(BackgroundFor(c.role, c.skinned, ColourScheme::Light), c.light);
    for (ColourScheme other : {ColourScheme::Dark, ColourScheme::HighContrast})
      EXPECT_EQ(BackgroundFor(c.role, c.skinned, other), Background::Users);
  }
}

}  // namespace
}  // namespace tallowby
