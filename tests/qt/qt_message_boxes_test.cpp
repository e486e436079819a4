#include "qt/qt_message_boxes.h"

#include <gtest/gtest.h>

namespace tallowby {
namespace {

TEST(ForDisplay, ShowsTheProgramsLineBreaksAsLines) {
  EXPECT_EQ(ForDisplay("Done.\r\r/a/results.txt\r\n\r\nwas created."),
            "Done.\n\n/a/results.txt\n\nwas created.");
}

}  // namespace
}  // namespace tallowby
