// The results text: each number's line, and the numbers read back from the lines.
#include "core/run/results_text.h"

#include <gtest/gtest.h>

namespace tallowby {
namespace {

TEST(AppendNumberLine, WritesDecimalDigitsAndCrLf) {
  ResultsText text;
  for (std::int32_t n : {3, 11, 7, 7, 1})
    AppendNumberLine(text, n);
  EXPECT_EQ(text, "3\r\n11\r\n7\r\n7\r\n1\r\n");
  EXPECT_EQ(text.size(), 16U);
  text.clear();
  for (std::int32_t n : {0, -1, 2147483647, -2147483647 - 1})
    AppendNumberLine(text, n);
  EXPECT_EQ(text, "0\r\n-1\r\n2147483647\r\n-2147483648\r\n");
  EXPECT_EQ(MaxLineLength(-9, 1), 4U);
  EXPECT_EQ(MaxLineLength(1, 100001), 8U);
  EXPECT_EQ(MaxLineLength(-2147483647, 1), 13U);
}

TEST(ResultsRows, ReadsBackEveryLinesNumber) {
  EXPECT_EQ(ResultsRows("3\r\n-11\r\n2147483647\r\n"),
            (std::vector<std::int32_t>{3, -11, 2147483647}));
  EXPECT_TRUE(ResultsRows("").empty());
}

}  // namespace
}  // namespace tallowby
