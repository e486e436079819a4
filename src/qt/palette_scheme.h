// The user's colour scheme as Qt tells it: the application palette that the platform theme (or
// the user's Qt settings) gives.
#pragma once

#include <QPalette>

#include "core/window/colour_scheme.h"

namespace tallowby {

// Qt has no high-contrast setting of its own; a high-contrast palette is dark or light by its
// colours, which is what the window's colours depend on.
ColourScheme SchemeOfPalette(const QPalette& palette);

// The scheme of the application's palette now.
ColourScheme CurrentScheme();

}  // namespace tallowby
