// Primality of 32-bit numbers, as the "Prime only" draws test their candidates.
#pragma once

#include <cstdint>

namespace tallowby {

// True when |n| is prime. Like the classic test by division, it replaces the caller's n by its
// absolute value; -2147483648 has none in 32 bits and fails with an overflow.
//
// Exact for every value, in a few hundred cycles: small primes first, then Miller-Rabin with the
// bases 2, 7 and 61, which has no strong pseudoprime below 4,759,123,141.
bool IsPrimeNumber(std::int32_t& n);

// The classic test by division: even numbers other than 2 are composite, 3, 5 and 7 are prime,
// and any other odd n is prime when no odd i with 3 <= i <= floor(sqrt(n)) divides it. It is the
// definition the fast test must match, and the yardstick of the benchmark.
bool IsPrimeByTrialDivision(std::int32_t& n);

}  // namespace tallowby
