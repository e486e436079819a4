// Whole captions whatever the system resolves the window's Arial to. Run with the machine's
// fonts, and again by ctest with fontconfig limited to a folder of DejaVu fonts only and one of
// Liberation fonts only (Fonts.DejaVuOnly, Fonts.LiberationOnly).
#include <gtest/gtest.h>

#include <QFontInfo>
#include <QStyleOptionButton>
#include <cstdio>

#include "qt/main_window.h"
#include "support/designed_layout.h"

namespace tallowby {
namespace {

// The room the control's caption takes, drawn in the control's font.
int CaptionWidth(QWidget* control, const QString& caption) {
  const int text = control->fontMetrics().horizontalAdvance(caption);
  if (auto* option = qobject_cast<QRadioButton*>(control)) {
    QStyleOptionButton style;
    style.initFrom(option);
    style.text = caption;
    return option->style()->subElementRect(QStyle::SE_RadioButtonContents, &style, option).left() +
           text;
  }
  return text;
}

TEST(Fonts, EveryCaptionIsWholeAndNoControlsOverlap) {
  MainWindow window;
  const QString family = QFontInfo(window.font()).family();
  std::printf("font: %s\n", family.toStdString().c_str());  // which the font folders' runs check
  // Liberation Sans has Arial's widths: there the window is exactly as designed.
  const bool designed_font = family.startsWith("Liberation Sans");
  window.grab().save(
      QString(TALLOWBY_TEST_OUTPUT_DIR "/form1-%1.png").arg(family).replace(' ', '-'));
  std::vector<std::pair<const char*, QRect>> places;
  for (const auto& designed : testing::kDesignedLayout) {
    auto* control = window.findChild<QWidget*>(designed.name);
    ASSERT_NE(control, nullptr);
    const QRect place(control->mapTo(&window, QPoint(0, 0)), control->size());
    if (designed.caption != nullptr) {
      EXPECT_LE(CaptionWidth(control, designed.caption), control->width())
          << designed.name << " in " << family.toStdString();
    }
    if (designed_font) {
      EXPECT_EQ(place, QRect(designed.left, designed.top, designed.width, designed.height))
          << designed.name;
    } else {
      EXPECT_EQ(place.topLeft(), QPoint(designed.left, designed.top)) << designed.name;
    }
    if (!QString(designed.name).startsWith("Frame")) places.push_back({designed.name, place});
  }
  for (const auto& [a, place_a] : places) {
    for (const auto& [b, place_b] : places) {
      if (a != b) {
        EXPECT_FALSE(place_a.intersects(place_b)) << a << " " << b;
      }
    }
  }
}

}  // namespace
}  // namespace tallowby
