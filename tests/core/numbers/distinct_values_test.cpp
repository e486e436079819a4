#include "core/numbers/distinct_values.h"

#include <gtest/gtest.h>

#include "core/numbers/prime_sieve.h"
#include "support/possible_values.h"

namespace tallowby {
namespace {

using testing::kEveryKind;
using testing::PossibleValues;

TEST(DistinctValues, CountsEveryValueOfEachKindExactlyAndTheBoundNeverExceedsIt) {
  for (std::int32_t highest = -40; highest <= 40; ++highest) {
    for (const NumberKind kind : kEveryKind) {
      const auto possible = static_cast<std::int64_t>(PossibleValues(kind, highest).size());
      EXPECT_EQ(DistinctValues(kind, highest), possible) << static_cast<int>(kind) << highest;
      EXPECT_LE(FewestDistinctValues(kind, highest), possible) << static_cast<int>(kind) << highest;
    }
  }
  EXPECT_EQ(DistinctValues(NumberKind::AllNumbers, -2147483647 - 1), 2147483649LL);
  EXPECT_EQ(DistinctValues(NumberKind::Even, 2147483646), 1073741823);
  EXPECT_EQ(CountPrimesUpTo(1'000'000), 78'498);
  EXPECT_LE(FewestDistinctValues(NumberKind::PrimeOnly, 999'999), 78'498);
  EXPECT_EQ(DistinctValues(NumberKind::PrimeOnly, -2147483647 - 1), 105'097'565);  // pi(2^31 - 1)
}

}  // namespace
}  // namespace tallowby
