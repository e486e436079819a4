// How fairly the draws from a set of values fall, and what the set counts.
#include "core/numbers/value_set.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "core/numbers/list_draws.h"
#include "core/numbers/prime_sieve.h"

namespace tallowby {
namespace {

// Chi-square of the counts against the expected shares, which need not add up to one.
double ChiSquare(const std::map<std::int32_t, int>& counts,
                 const std::map<std::int32_t, double>& shares) {
  double total_share = 0;
  int total = 0;
  for (const auto& [n, share] : shares)
    total_share += share;
  for (const auto& [n, times] : counts)
    total += times;
  double chi = 0;
  for (const auto& [n, share] : shares) {
    const double expected = total * share / total_share;
    const auto found = counts.find(n);
    const double seen = found == counts.end() ? 0 : found->second;
    chi += (seen - expected) * (seen - expected) / expected;
  }
  return chi;
}

// Each case's values with their weights; a drawn value outside them fails the case. The bound is
// the chi-square value exceeded with probability 0.001 for the degrees of freedom.
TEST(ValueSetTest, DrawsFromASetAreFairByChiSquare) {
  std::map<std::int32_t, double> die, primes, left, window;
  for (std::int32_t n = 1; n <= 6; ++n)
    die[n] = 1;
  for (std::int32_t n = 2; n <= 100; ++n) {
    std::int32_t candidate = n;
    if (IsPrimeNumber(candidate)) primes[n] = 1;
  }
  for (std::int32_t n : {1, 2, 8, 9, 10, 11, 13, 14, 19, 20})
    left[n] = 1;
  for (std::int32_t n : {1, 2, 3, 9, 10, 11})  // the window's ends weigh half
    window[n] = n == 1 || n == 11 ? 0.5 : 1;
  const std::vector<NumberRange> gaps = {{3, 7}, {12, 12}, {15, 18}};
  const std::vector<NumberRange> middle = {{4, 8}};
  const struct {
    ValueSet values;
    const std::map<std::int32_t, double>& shares;
    double bound;
  } cases[] = {
      {ValueSet::InRange(NumberKind::AllNumbers, {1, 6}, {}), die, 20.52},
      {ValueSet::InRange(NumberKind::PrimeOnly, {-50, 100}, {}), primes, 51.18},
      {ValueSet::InRange(NumberKind::AllNumbers, {1, 20}, gaps), left, 27.88},
      {ValueSet::AsTheWindowDraws(NumberKind::AllNumbers, 10, middle), window, 20.52},
  };
  struct Tally final : NumberSink {
    std::map<std::int32_t, int> counts;
    void Append(std::int32_t n) override { ++counts[n]; }
  };
  for (const auto& c : cases) {
    RandomSource random(77);
    Tally tally;
    DrawFromSet(random, c.values, 60'000, tally);
    for (const auto& [n, times] : tally.counts)
      EXPECT_TRUE(c.shares.contains(n)) << n;
    EXPECT_LT(ChiSquare(tally.counts, c.shares), c.bound);
  }
  // A wide set of primes, counted piece by piece by the sieve, then drawn to the last one.
  const std::vector<NumberRange> holes = {{1'500'000, 1'600'000}, {2'000'001, 2'000'100}};
  const ValueSet wide = ValueSet::InRange(NumberKind::PrimeOnly, {1'000'000, 3'000'000}, holes);
  const std::int64_t expected = CountPrimesUpTo(3'000'000) - CountPrimesUpTo(1'599'999) +
                                CountPrimesUpTo(1'499'999) - CountPrimesUpTo(999'999) -
                                (CountPrimesUpTo(2'000'100) - CountPrimesUpTo(2'000'000));
  EXPECT_EQ(wide.Members(), expected);
  EXPECT_LE(wide.FewestMembers(), expected);
  RandomSource random(78);
  Tally all;
  DrawUnique(random, wide, static_cast<std::int32_t>(expected), false, all);
  EXPECT_EQ(all.counts.size(), static_cast<std::size_t>(expected));
  EXPECT_FALSE(all.counts.contains(1'550'003));
}

}  // namespace
}  // namespace tallowby
