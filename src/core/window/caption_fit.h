// Every caption whole, whatever font the system resolves the window's Arial to. The layout was
// designed for Arial's widths; a wider font (DejaVu Sans where no Arial-compatible font is
// installed, a user's own font settings, large fonts) would cut captions at their control's edge.
#pragma once

#include <array>
#include <functional>

#include "core/window/form_description.h"

namespace tallowby {

// How wide a control must be, in twips, to show its whole caption when the window's font is
// `hundredths_of_a_point` in size (the buttons' font in proportion): the caption's width in the
// font the system resolves, plus what the control draws beside it (an option's circle). Each
// front end measures with its own font metrics.
using CaptionRoom = std::function<int(Control control, int hundredths_of_a_point)>;

struct FittedForm {
  // Every control's width in twips; its place otherwise stays as designed.
  std::array<int, kControlCount> widths;
  // The window's font size; the buttons' font keeps its designed proportion to it.
  int font_hundredths;
  int button_font_hundredths;
};

// The designed layout where every caption fits. Where one does not, its control widens, up to
// the next control's left edge on its row or its frame's inner edge; only where that is still
// not enough, the window's font shrinks by half points until every caption fits.
FittedForm FitCaptions(const CaptionRoom& room);

// How far a control may widen: to the left edge of the next control on its row, or to its
// container's inner edge.
int WidestWidth(Control control);

}  // namespace tallowby
