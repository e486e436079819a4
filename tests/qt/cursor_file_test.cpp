// The hand cursor: a Windows cursor file read into a Qt cursor.
#include "qt/cursor_file.h"

#include <gtest/gtest.h>

#include "program_fixture.h"

namespace tallowby {
namespace {

using testing::WriteFile;

TEST(LoadCursorFile, ReadsTheShippedHandWithItsHotSpot) {
  const QCursor hand = LoadCursorFile(TALLOWBY_TEST_PROGRAM_DIR "/HAND-M.CUR");
  EXPECT_EQ(hand.hotSpot(), QPoint(13, 4));
  EXPECT_EQ(hand.pixmap().size(), QSize(32, 32));
  const QImage image = hand.pixmap().toImage();
  EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);              // transparent corner
  EXPECT_EQ(image.pixel(13, 4) & 0xFFFFFF, 0U);         // black outline at the finger tip
  EXPECT_EQ(image.pixel(13, 8) & 0xFFFFFF, 0xFFFFFFU);  // white inside the finger

  QTemporaryDir folder;
  WriteFile(folder.path() + "/icon.cur", QByteArray("\0\0\1\0\1\0", 6) + QByteArray(40, 'x'));
  EXPECT_THROW(LoadCursorFile(folder.path() + "/icon.cur"), Failure);  // an icon, not a cursor
}

}  // namespace
}  // namespace tallowby
