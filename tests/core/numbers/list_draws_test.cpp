#include "core/numbers/list_draws.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <vector>

#include "support/possible_values.h"

namespace tallowby {
namespace {

using testing::kEveryKind;
using testing::PossibleValues;

struct Kept final : NumberSink {
  std::vector<std::int32_t> numbers;
  void Append(std::int32_t n) override { numbers.push_back(n); }
};

std::vector<std::int32_t> Unique(std::uint64_t seed, NumberKind kind, std::int32_t highest,
                                 std::int32_t count, bool sorted = false) {
  RandomSource random(seed);
  Kept kept;
  DrawUnique(random, kind, highest, count, sorted, kept);
  return kept.numbers;
}

// A fixed seed gives this list on every platform and with every standard library: changing it
// changes what users' scripts get.
TEST(ListDrawsTest, SeedFixesTheList) {
  RandomSource random(2026);
  Kept plain;
  DrawAsTheWindowDoes(random, NumberKind::AllNumbers, 100, 8, plain);
  EXPECT_EQ(plain.numbers, (std::vector<std::int32_t>{58, 29, 82, 90, 82, 80, 84, 84}));
  EXPECT_EQ(Unique(2026, NumberKind::AllNumbers, 100, 8),
            (std::vector<std::int32_t>{58, 29, 83, 91, 80, 85, 84, 87}));
  EXPECT_EQ(Unique(2026, NumberKind::PrimeOnly, 1'000'000, 5),
            (std::vector<std::int32_t>{474809, 749209, 609913, 20483, 323987}));
}

// Small ranges, exhaustively: every value once when all are asked for, and every subset of a
// given size equally likely.
TEST(ListDrawsTest, UniqueDrawsAreExactlyTheKindsValuesAndUniformOverSubsets) {
  for (const std::int32_t highest : {-13, -3, 1, 2, 9, 30}) {
    for (const NumberKind kind : kEveryKind) {
      const std::set<std::int32_t> possible = PossibleValues(kind, highest);
      const auto all = Unique(1, kind, highest, static_cast<std::int32_t>(possible.size()));
      EXPECT_EQ(std::set<std::int32_t>(all.begin(), all.end()), possible);
      EXPECT_EQ(all.size(), possible.size());
    }
  }
  // 4 of the 6 odd numbers -9 .. 1: 15 subsets, 3000 draws, about 200 each.
  std::map<std::vector<std::int32_t>, int> subsets;
  for (std::uint64_t seed = 0; seed < 3000; ++seed)
    ++subsets[Unique(seed, NumberKind::Odd, -10, 4, true)];
  EXPECT_EQ(subsets.size(), 15U);
  for (const auto& [subset, times] : subsets)
    EXPECT_NEAR(times, 200, 60);
}

// Large ranges, statistically, through each way of drawing: a sparse set, a bitmap, and a bitmap
// whose last numbers come from a list.
TEST(ListDrawsTest, UniqueDrawsOfLargeRangesAreDistinctAndEvenlySpread) {
  const struct {
    NumberKind kind;
    std::int32_t highest;
    std::int32_t count;
  } cases[] = {
      {NumberKind::AllNumbers, 1'000'000'000, 100'000},
      {NumberKind::Even, -4'000'000, 1'000'000},
      {NumberKind::AllNumbers, 999'999, 990'000},
      {NumberKind::PrimeOnly, 20'000'000, 1'200'000},
  };
  for (const auto& c : cases) {
    const auto numbers = Unique(3, c.kind, c.highest, c.count);
    ASSERT_EQ(numbers.size(), static_cast<std::size_t>(c.count));
    std::vector<std::int32_t> sorted = numbers;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end()) << c.highest;
    // The numbers' order is random too: both halves spread like the whole.
    const double low = std::min(c.highest + 1.0, 1.0);
    const double span = std::abs(c.highest) + 1.0;
    for (const std::size_t half : {std::size_t{0}, numbers.size() / 2}) {
      std::vector<int> tenths(10);
      for (std::size_t i = half; i < half + numbers.size() / 2; ++i)
        ++tenths[std::min(9, static_cast<int>((numbers[i] - low) / span * 10))];
      // Primes thin out towards the top, so only their range is checked.
      if (c.kind == NumberKind::PrimeOnly) continue;
      for (const int t : tenths)
        EXPECT_NEAR(t, numbers.size() / 20.0, numbers.size() / 20.0 * 0.05) << c.highest;
    }
    if (c.kind == NumberKind::PrimeOnly) {
      for (std::int32_t n : {sorted.front(), sorted.back()})
        EXPECT_TRUE(n >= 2 && n <= c.highest + 1);
    }
  }
}

TEST(ListDrawsTest, SortedDrawsAreTheSameDrawsInOrder) {
  for (const NumberKind kind : kEveryKind) {
    for (const std::int32_t count : {50, 5000}) {  // fewer and more numbers than values
      RandomSource plain_random(11);
      RandomSource sorted_random(11);
      Kept plain;
      Kept sorted;
      DrawAsTheWindowDoes(plain_random, kind, -300, count, plain);
      DrawSorted(sorted_random, kind, -300, count, sorted);
      std::sort(plain.numbers.begin(), plain.numbers.end());
      EXPECT_EQ(sorted.numbers, plain.numbers);
    }
    auto unique = Unique(12, kind, 5000, 300);
    std::sort(unique.begin(), unique.end());
    EXPECT_EQ(Unique(12, kind, 5000, 300, true), unique);
  }
  auto dense = Unique(13, NumberKind::AllNumbers, 1000, 990);
  std::sort(dense.begin(), dense.end());
  EXPECT_EQ(Unique(13, NumberKind::AllNumbers, 1000, 990, true), dense);
}

TEST(ListDrawsTest, UniformBelowCoversItsRangeEvenly) {
  RandomSource random(5);
  EXPECT_EQ(UniformBelow(random, 1), 0U);
  EXPECT_LT(UniformBelow(random, std::uint64_t{1} << 32), std::uint64_t{1} << 32);
  std::vector<int> times(3);
  for (int i = 0; i < 30'000; ++i)
    ++times[UniformBelow(random, 3)];
  for (const int t : times)
    EXPECT_NEAR(t, 10'000, 300);
}

}  // namespace
}  // namespace tallowby
