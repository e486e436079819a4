#include "core/window/caption_fit.h"

#include <algorithm>

namespace tallowby {

namespace {

// A frame's children keep as much room from its right edge as the window's controls keep from
// the client area's: 120 twips, where the frames' border lies well inside.
constexpr int kInnerMargin = 120;

// Small enough to fit anything that can be fitted; a font below it would be unreadable.
constexpr int kSmallestFont = 500;
constexpr int kHalfPoint = 50;

bool HasCaption(const ControlDescription& row) {
  return row.kind != ControlKind::Field && !row.text.empty();
}

bool SameRow(const TwipRect& a, const TwipRect& b) {
  return a.top < b.top + b.height && b.top < a.top + a.height;
}

}  // namespace

int WidestWidth(Control control) {
  const ControlDescription& row = Describe(control);
  const int container_width =
      row.container ? Describe(*row.container).place.width : kWindow.client_width_twips;
  int right = container_width - kInnerMargin;
  for (const ControlDescription& other : kForm) {
    if (other.control == control || other.container != row.container) continue;
    if (other.place.left >= row.place.left + row.place.width && SameRow(other.place, row.place))
      right = std::min(right, other.place.left);
  }
  return std::max(row.place.width, right - row.place.left);
}

FittedForm FitCaptions(const CaptionRoom& room) {
  FittedForm fitted{};
  for (int font = kWindow.font.hundredths_of_a_point;; font -= kHalfPoint) {
    bool all_fit = true;
    for (const ControlDescription& row : kForm) {
      int width = row.place.width;
      if (HasCaption(row)) {
        const int needed = room(row.control, font);
        if (needed > width) width = std::min(needed, WidestWidth(row.control));
        all_fit = all_fit && needed <= width;
      }
      fitted.widths[IndexOf(row.control)] = width;
    }
    fitted.font_hundredths = font;
    fitted.button_font_hundredths =
        kWindow.button_font.hundredths_of_a_point * font / kWindow.font.hundredths_of_a_point;
    if (all_fit || font - kHalfPoint < kSmallestFont) return fitted;
  }
}

}  // namespace tallowby
