// How many different numbers a draw of each kind can give for a highest number.
#pragma once

#include <cstdint>

#include "core/ports/choices.h"

namespace tallowby {

// Exactly: the plain range for "All numbers", its even or odd members, or the primes up to the
// range's largest absolute value for "Prime only" (which takes a sieve: seconds at the top).
std::int64_t DistinctValues(NumberKind kind, std::int32_t highest);

// At most DistinctValues, at once: for primes p <= n the proven bound n / ln n (n >= 17), exact
// for every other case.
std::int64_t FewestDistinctValues(NumberKind kind, std::int32_t highest);

}  // namespace tallowby
