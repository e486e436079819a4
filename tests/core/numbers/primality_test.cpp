#include "core/numbers/primality.h"

#include <gtest/gtest.h>

#include "core/numbers/random_source.h"
#include "core/ports/failure.h"

namespace tallowby {
namespace {

bool Fast(std::int32_t n) {
  return IsPrimeNumber(n);
}
bool Slow(std::int32_t n) {
  return IsPrimeByTrialDivision(n);
}

TEST(IsPrimeNumber, AgreesWithTrialDivisionForEveryNumberBelowAMillion) {
  for (std::int32_t n = 0; n < 1'000'000; ++n)
    ASSERT_EQ(Fast(n), Slow(n)) << n;
}

TEST(IsPrimeNumber, AgreesWithTrialDivisionOnARandomSampleUpToTheTopOfTheRange) {
  RandomSource source(31);
  for (int i = 0; i < 300'000; ++i) {
    const auto n = static_cast<std::int32_t>(source.NextBits() >> 33);  // 0 .. 2^31 - 1
    const bool prime = Slow(n);
    ASSERT_EQ(Fast(n), prime) << n;
    ASSERT_EQ(Fast(-n), prime) << -n;
  }
}

// Numbers that fool weaker tests: strong pseudoprimes to base 2, Carmichael numbers, squares and
// near-squares of primes close to the top, and the largest primes of the range.
TEST(IsPrimeNumber, AgreesWithTrialDivisionOnKnownTrapsAndTheRangeEnds) {
  const std::int32_t cases[] = {0,          1,          2,          3,
                                4,          5,          7,          9,
                                15,         25,         49,         97,
                                2047,       3277,       4033,       4681,
                                8321,       561,        1105,       1729,
                                2465,       2821,       6601,       8911,
                                41041,      825265,     321197185,  25326001,
                                1373653,    9080191,    2147117569, 46337 * 46327,
                                2147483647, 2147483629, 2147483646, 2147483645,
                                1000000007, 999999937};
  for (std::int32_t n : cases) {
    EXPECT_EQ(Fast(n), Slow(n)) << n;
    EXPECT_EQ(Fast(-n), Slow(n)) << -n;
  }
  const std::int32_t smallest_primes[] = {2, 3, 5, 7, 11, 13, 97, 2147483647};
  for (std::int32_t n : smallest_primes)
    EXPECT_TRUE(Fast(n)) << n;
  const std::int32_t composites[] = {0, 1, 4, 9, 15, 25, 49, 2047, 2147117569};
  for (std::int32_t n : composites)
    EXPECT_FALSE(Fast(n)) << n;
}

TEST(IsPrimeNumber, LeavesTheAbsoluteValueInItsArgument) {
  std::int32_t n = -7;
  EXPECT_TRUE(IsPrimeNumber(n));
  EXPECT_EQ(n, 7);
  n = -8;
  EXPECT_FALSE(IsPrimeNumber(n));
  EXPECT_EQ(n, 8);
  n = -2147483647;
  EXPECT_TRUE(IsPrimeNumber(n));
  EXPECT_EQ(n, 2147483647);
}

TEST(IsPrimeNumber, FailsWithOverflowForTheOneNumberWithoutAnAbsoluteValue) {
  for (auto test : {&IsPrimeNumber, &IsPrimeByTrialDivision}) {
    std::int32_t n = -2147483647 - 1;
    try {
      test(n);
      ADD_FAILURE() << "no failure";
    } catch (const Failure& failure) {
      EXPECT_STREQ(failure.Description(), "Overflow");
    }
  }
}

}  // namespace
}  // namespace tallowby
