#include "core/numbers/draw_request.h"

#include <gtest/gtest.h>

namespace tallowby {
namespace {

TEST(DrawRequestTest, RefusesWhatCannotBeDrawnFirstReasonFirst) {
  using enum DrawRefusal::Reason;
  using enum NumberKind;
  constexpr bool kUnique = true, kSorted = true;
  // Kind, highest, range, exclusions, count, unique, sorted, source; and the refusal.
  const struct {
    DrawRequest request;
    std::optional<DrawRefusal> refusal;
  } cases[] = {
      {{Even, 0, {}, {}, 1, kUnique, false, {}}, DrawRefusal{kNothingToDraw}},
      {{Even, 0, {}, {}, 0, false, false, {}}, std::nullopt},
      {{PrimeOnly, 0, NumberRange{24, 28}, {}, 1, false, false, {}}, {{kNothingToDraw}}},
      {{Odd, -10, {}, {{-9, 1}}, 1, false, false, {}}, {{kNothingToDraw}}},
      {{AllNumbers, 100, {}, {}, 101, kUnique, false, {}}, std::nullopt},
      {{AllNumbers, 100, {}, {}, 102, kUnique, false, {}}, {{kTooFewDistinct, 101}}},
      {{AllNumbers, 100, {}, {{50, 59}}, 92, kUnique, false, {}}, {{kTooFewDistinct, 91}}},
      {{PrimeOnly, 0, NumberRange{1, 100}, {}, 26, kUnique, false, {}}, {{kTooFewDistinct, 25}}},
      // Past the proven bound, the primes are counted.
      {{PrimeOnly, 999'999, {}, {}, 78'499, kUnique, false, {}}, {{kTooFewDistinct, 78'498}}},
      // 4 bytes a number at most: 2^28 numbers fill the limit exactly.
      {{AllNumbers, 2'147'483'646, {}, {}, 1 << 28, false, kSorted, {}}, std::nullopt},
      {{AllNumbers, 2'147'483'646, {}, {}, (1 << 28) + 1, false, kSorted, {}}, {{kTooLargeToSort}}},
      {{AllNumbers, 2'147'483'646, {}, {}, (1 << 28) + 1, kUnique, kSorted, {}}, std::nullopt},
      {{AllNumbers, 0, NumberRange{1, 100}, {}, 2'000'000'000, false, kSorted, {}}, std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CheckRequest(c.request), c.refusal) << c.request.highest << " " << c.request.count;
  }
}

}  // namespace
}  // namespace tallowby
