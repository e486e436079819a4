#include "core/numbers/number_kinds.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>

#include "support/possible_values.h"
#include "support/scripted_source.h"

namespace tallowby {
namespace {

using testing::ScriptedSource;

constexpr double kJustBelowOne = 1.0 - 0x1.0p-53;

struct PlainDraw {
  double u;
  std::int32_t highest;
  std::int32_t expected;
};

// Products landing exactly on .5 pin the rounding: half to even, never truncated or floored.
TEST(DrawNumber, RoundsTheProductHalfToEvenAndAddsOne) {
  const PlainDraw cases[] = {
      {0.0, 10, 1},
      {0.125, 4, 1},   // 0.5 -> 0
      {0.375, 4, 3},   // 1.5 -> 2
      {0.625, 4, 3},   // 2.5 -> 2
      {0.875, 4, 5},   // 3.5 -> 4
      {0.25, 10, 3},   // 2.5 -> 2
      {0.6875, 8, 7},  // 5.5 -> 6
      {kJustBelowOne, 10, 11},
      {kJustBelowOne, 1, 2},
      {0.5, 1, 1},  // 0.5 -> 0
      {0.75, 0, 1},
      {0.5, -10, -4},   // -5 -> -5
      {0.25, -10, -1},  // -2.5 -> -2
      {0.35, -10, -3},  // -3.5 -> -4
      {kJustBelowOne, -10, -9},
      {0.03, -10, 1},                 // -0.3 -> -0
      {0.5, 2147483647, 1073741825},  // 1073741823.5 -> 1073741824
      {kJustBelowOne, -2147483647 - 1, -2147483647},
  };
  for (const auto& c : cases) {
    ScriptedSource source({c.u});
    EXPECT_EQ(DrawNumber(source, c.highest), c.expected) << "u=" << c.u << " H=" << c.highest;
  }
}

TEST(DrawNumber, FailsWithOverflowInsteadOfWrappingAtTheTopOfTheRange) {
  ScriptedSource source({kJustBelowOne, 0.9999999999});
  for (int i = 0; i < 2; ++i) {
    try {
      DrawNumber(source, 2147483647);
      FAIL() << "no failure";
    } catch (const Failure& failure) {
      EXPECT_STREQ(failure.Description(), "Overflow");
    }
  }
}

struct KindDraw {
  NumberKind kind;
  std::int32_t highest;
  std::vector<double> script;
  std::int32_t expected;
  std::size_t draws;
};

// The starting candidates (1 for Even, 0 for Odd and Prime only) always fail, so every kind
// draws at least once and redraws until the candidate fits.
TEST(DrawNumberOfKind, RedrawsUntilTheCandidateFits) {
  const KindDraw cases[] = {
      {NumberKind::AllNumbers, 4, {0.875}, 5, 1},
      {NumberKind::Even, 4, {0.875, 0.375, 0.25}, 2, 3},  // 5, 3, then 2
      {NumberKind::Even, 4, {0.0, 0.625, 0.25}, 2, 3},    // 1, 3, then 2
      {NumberKind::Odd, 4, {0.25, 0.875}, 5, 2},          // 2, then 5
      {NumberKind::Odd, 0, {0.3}, 1, 1},
      {NumberKind::PrimeOnly, -10, {0.5, 0.75}, 7, 2},     // -4, then -7 becomes 7
      {NumberKind::PrimeOnly, 10, {0.0, 0.8, 0.2}, 3, 3},  // 1, 9, then 3
  };
  for (const auto& c : cases) {
    ScriptedSource source(c.script);
    EXPECT_EQ(DrawNumberOfKind(source, c.kind, c.highest), c.expected)
        << static_cast<int>(c.kind) << " H=" << c.highest;
    EXPECT_EQ(source.Used(), c.draws) << static_cast<int>(c.kind);
  }
}

bool Fits(NumberKind kind, std::int32_t n) {
  switch (kind) {
    case NumberKind::AllNumbers:
      return true;
    case NumberKind::Even:
      return n % 2 == 0;
    case NumberKind::Odd:
      return n % 2 != 0;
    case NumberKind::PrimeOnly: {
      std::int32_t copy = n;
      return n >= 0 && IsPrimeByTrialDivision(copy);
    }
  }
  return false;
}

struct Range {
  std::int32_t highest;
  NumberKind kind;
  std::set<std::int32_t> all_values;  // empty: only the bounds are checked
  std::int32_t low;
  std::int32_t high;
};

// Every value a kind can give for a highest number shows up, and nothing else does.
TEST(DrawNumberOfKind, StaysInItsRangeAndReachesEveryValue) {
  const Range cases[] = {
      {1, NumberKind::AllNumbers, {1, 2}, 1, 2},
      {1, NumberKind::Even, {2}, 2, 2},
      {1, NumberKind::Odd, {1}, 1, 1},
      {1, NumberKind::PrimeOnly, {2}, 2, 2},
      {2, NumberKind::PrimeOnly, {2, 3}, 2, 3},
      {0, NumberKind::AllNumbers, {1}, 1, 1},
      {0, NumberKind::Odd, {1}, 1, 1},
      {10, NumberKind::AllNumbers, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, 1, 11},
      {-10, NumberKind::AllNumbers, {-9, -8, -7, -6, -5, -4, -3, -2, -1, 0, 1}, -9, 1},
      {-10, NumberKind::Even, {-8, -6, -4, -2, 0}, -8, 0},
      {-10, NumberKind::Odd, {-9, -7, -5, -3, -1, 1}, -9, 1},
      {-10, NumberKind::PrimeOnly, {2, 3, 5, 7}, 2, 7},
      {100000, NumberKind::PrimeOnly, {}, 2, 100001},
      {2147483646, NumberKind::Even, {}, 2, 2147483647},
  };
  RandomSource source(20261208);
  for (const auto& c : cases) {
    std::set<std::int32_t> seen;
    for (int i = 0; i < 20000; ++i) {
      const std::int32_t n = DrawNumberOfKind(source, c.kind, c.highest);
      ASSERT_TRUE(Fits(c.kind, n)) << n;
      ASSERT_GE(n, c.low);
      ASSERT_LE(n, c.high);
      seen.insert(n);
    }
    if (!c.all_values.empty()) {
      EXPECT_EQ(seen, c.all_values) << "H=" << c.highest;
    }
  }
}

// With 1,000,000 draws a share's standard deviation is below 0.03 %, so these bounds are ten
// deviations wide: the fixed seed makes them exact, and any seed would pass them.
TEST(DrawNumber, EndValuesHaveHalfTheWeightOfTheOthers) {
  RandomSource source(7);
  constexpr int kDraws = 1'000'000;
  std::map<std::int32_t, int> counts;
  for (int i = 0; i < kDraws; ++i)
    ++counts[DrawNumber(source, 10)];
  ASSERT_EQ(counts.size(), 11U);
  for (const auto& [value, count] : counts) {
    const double share = static_cast<double>(count) / kDraws;
    const double expected = (value == 1 || value == 11) ? 0.05 : 0.10;
    EXPECT_NEAR(share, expected, 0.003) << value;
  }

  int ones = 0;
  for (int i = 0; i < kDraws; ++i)
    ones += DrawNumber(source, 1) == 1;
  EXPECT_NEAR(static_cast<double>(ones) / kDraws, 0.5, 0.005);
}

TEST(ParityTests, HoldForNegativeNumbersAndTheRangeEnds) {
  const std::pair<std::int32_t, bool> cases[] = {
      {0, true}, {1, false}, {-3, false}, {-4, true}, {2147483647, false}, {-2147483647 - 1, true}};
  for (const auto& [n, even] : cases) {
    EXPECT_EQ(IsEvenNumber(n), even) << n;
    EXPECT_EQ(IsOddNumber(n), !even) << n;
  }
}

// The refusal must match what the draws can really produce: every possible draw, enumerated.
TEST(CanDrawKind, AgreesWithTheValuesADrawCanTake) {
  for (NumberKind kind : testing::kEveryKind) {
    for (std::int32_t highest = -60; highest <= 60; ++highest) {
      EXPECT_EQ(CanDrawKind(kind, highest), !testing::PossibleValues(kind, highest).empty())
          << static_cast<int>(kind) << " H=" << highest;
    }
    EXPECT_TRUE(CanDrawKind(kind, 2147483647));
    EXPECT_TRUE(CanDrawKind(kind, -2147483647 - 1));
  }
}

}  // namespace
}  // namespace tallowby
