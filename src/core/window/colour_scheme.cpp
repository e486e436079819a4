#include "core/window/colour_scheme.h"

#include <cmath>

namespace tallowby {

namespace {

double Linear(std::uint8_t channel) {
  const double c = channel / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

}  // namespace

double RelativeLuminance(Rgb colour) {
  return 0.2126 * Linear(colour.red) + 0.7152 * Linear(colour.green) + 0.0722 * Linear(colour.blue);
}

ColourScheme SchemeOf(Rgb background, Rgb text, bool high_contrast_on) {
  if (high_contrast_on) return ColourScheme::HighContrast;
  return RelativeLuminance(background) < RelativeLuminance(text) ? ColourScheme::Dark
                                                                 : ColourScheme::Light;
}

}  // namespace tallowby
