#include "calc/poll_until.h"

#include <gtest/gtest.h>

#include <chrono>
#include <ostream>

namespace tallowby::calc {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

struct PollCase {
  const char* name;
  milliseconds timeout;
  milliseconds interval;
  int holds_from_ask;  // 0: never
  bool held;
  int asks;
};

void PrintTo(const PollCase& value, std::ostream* out) {
  *out << value.name;
}

class PollUntilTest : public ::testing::TestWithParam<PollCase> {};

// The waits that end without holding use intervals far longer than their timeouts, so a sleep that
// ran on past the deadline would show.
TEST_P(PollUntilTest, AsksUntilItHoldsOrOnceMoreAtTheDeadline) {
  const PollCase& poll = GetParam();
  int asks = 0;
  const auto start = steady_clock::now();
  EXPECT_EQ(PollUntil(poll.timeout, poll.interval, [&] { return ++asks == poll.holds_from_ask; }),
            poll.held);
  const auto waited = steady_clock::now() - start;
  EXPECT_EQ(asks, poll.asks);
  if (!poll.held) {
    EXPECT_GE(waited, poll.timeout);
  }
  EXPECT_LT(waited, milliseconds(900));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PollUntilTest,
    ::testing::Values(
        PollCase{"AtOnce", milliseconds(0), milliseconds(1000), 1, true, 1},
        PollCase{"ZeroTimeoutIsOneLook", milliseconds(0), milliseconds(1000), 0, false, 1},
        PollCase{"OnTheThirdAsk", milliseconds(5000), milliseconds(1), 3, true, 3},
        PollCase{"LastSleepEndsAtTheDeadline", milliseconds(50), milliseconds(1000), 0, false, 2}),
    [](const ::testing::TestParamInfo<PollCase>& info) { return info.param.name; });

}  // namespace
}  // namespace tallowby::calc
