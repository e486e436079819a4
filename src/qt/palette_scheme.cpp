#include "qt/palette_scheme.h"

#include <QGuiApplication>

namespace tallowby {

namespace {

Rgb ToRgb(const QColor& colour) {
  return {static_cast<std::uint8_t>(colour.red()), static_cast<std::uint8_t>(colour.green()),
          static_cast<std::uint8_t>(colour.blue())};
}

}  // namespace

ColourScheme SchemeOfPalette(const QPalette& palette) {
  return SchemeOf(ToRgb(palette.color(QPalette::Window)),
                  ToRgb(palette.color(QPalette::WindowText)), false);
}

ColourScheme CurrentScheme() {
  return SchemeOfPalette(QGuiApplication::palette());
}

}  // namespace tallowby
