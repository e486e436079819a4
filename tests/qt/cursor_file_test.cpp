// The hand cursor: a Windows cursor file read into a Qt cursor.
#include "qt/cursor_file.h"

#include <gtest/gtest.h>

#include "program_fixture.h"

namespace tallowby {
namespace {

using testing::WriteFile;

TEST(LoadCursorFile, ReadsTheShippedHandWithItsHotSpot) {
  // At 100 % the drawing; at 150 % and 200 % its double, for the same hot spot and place.
  for (const double scale : {1.0, 1.5, 2.0}) {
    const QCursor hand = LoadCursorFile(TALLOWBY_TEST_PROGRAM_DIR "/HAND-M.CUR", scale);
    const int ratio = scale > 1 ? 2 : 1;
    EXPECT_EQ(hand.hotSpot(), QPoint(13, 4)) << scale;
    EXPECT_EQ(hand.pixmap().size(), QSize(32, 32) * ratio) << scale;
    EXPECT_EQ(hand.pixmap().devicePixelRatio(), ratio) << scale;
    const QImage image = hand.pixmap().toImage();
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);                       // transparent corner
    EXPECT_EQ(image.pixel(13 * ratio, 4 * ratio) & 0xFFFFFF, 0U);  // outline at the finger tip
    EXPECT_EQ(image.pixel(13 * ratio, 8 * ratio) & 0xFFFFFF, 0xFFFFFFU);  // white inside
  }

  QTemporaryDir folder;
  WriteFile(folder.path() + "/icon.cur", QByteArray("\0\0\1\0\1\0", 6) + QByteArray(40, 'x'));
  EXPECT_THROW(LoadCursorFile(folder.path() + "/icon.cur"), Failure);  // an icon, not a cursor
}

}  // namespace
}  // namespace tallowby
