#include "core/numbers/distinct_values.h"

#include <cmath>

#include "core/numbers/draw_range.h"
#include "core/numbers/prime_sieve.h"

namespace tallowby {

namespace {

std::int64_t FloorHalf(std::int64_t n) {
  return n >= 0 ? n / 2 : -((-n + 1) / 2);
}

std::int64_t EvenValuesBetween(std::int64_t low, std::int64_t high) {
  return FloorHalf(high) - FloorHalf(low - 1);
}

}  // namespace

std::int64_t DistinctValues(NumberKind kind, std::int32_t highest) {
  const DrawRange range = PlainDrawRange(highest);
  switch (kind) {
    case NumberKind::AllNumbers:
      return range.high - range.low + 1;
    case NumberKind::Even:
      return EvenValuesBetween(range.low, range.high);
    case NumberKind::Odd:
      return range.high - range.low + 1 - EvenValuesBetween(range.low, range.high);
    case NumberKind::PrimeOnly:
      return CountPrimesUpTo(range.LargestMagnitude());
  }
  return 0;
}

std::int64_t FewestDistinctValues(NumberKind kind, std::int32_t highest) {
  const std::int64_t bound = PlainDrawRange(highest).LargestMagnitude();
  if (kind != NumberKind::PrimeOnly || bound < 17) return DistinctValues(kind, highest);
  // Rosser's bound, one less for the rounding of the logarithm.
  const double n = static_cast<double>(bound);
  return static_cast<std::int64_t>(n / std::log(n)) - 1;
}

}  // namespace tallowby
