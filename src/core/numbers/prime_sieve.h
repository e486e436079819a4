// The primes up to a bound, by a segmented sieve of Eratosthenes: for counting the different
// values a "Prime only" draw can give, and for walking them in order.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

namespace tallowby {

// The whole square root, exact for every 64-bit n the program meets.
std::int64_t IntegerSquareRoot(std::int64_t n);

// Sieves the odd numbers low .. n (low at least 3) a segment at a time; visit(first, is_prime,
// length) sees each segment, where is_prime[j] tells about first + 2j. Memory: the primes up to
// sqrt(n) and one segment, whatever n; time: in proportion to n - low, plus sqrt(n).
template <class Visit>
void SieveOddSegmentsBetween(std::int64_t low, std::int64_t n, Visit visit) {
  low = std::max<std::int64_t>(low, 3) | 1;
  if (n < low) return;
  const std::int64_t root = IntegerSquareRoot(n);
  std::vector<std::int64_t> base;
  {
    std::vector<char> composite(static_cast<std::size_t>(root + 1), 0);
    for (std::int64_t p = 3; p <= root; p += 2) {
      if (composite[static_cast<std::size_t>(p)]) continue;
      base.push_back(p);
      for (std::int64_t m = p * p; m <= root; m += 2 * p)
        composite[static_cast<std::size_t>(m)] = 1;
    }
  }
  constexpr std::int64_t kSegment = std::int64_t{1} << 17;  // odd numbers, fits the L2 cache
  std::vector<unsigned char> is_prime(static_cast<std::size_t>(kSegment));
  for (std::int64_t first = low; first <= n; first += 2 * kSegment) {
    const std::int64_t last = std::min(n, first + 2 * (kSegment - 1));
    const std::int64_t length = (last - first) / 2 + 1;
    std::fill_n(is_prime.begin(), length, 1);
    for (const std::int64_t p : base) {
      if (p * p > last) break;
      std::int64_t start = std::max(p * p, (first + p - 1) / p * p);
      if (start % 2 == 0) start += p;
      for (std::int64_t m = start; m <= last; m += 2 * p)
        is_prime[static_cast<std::size_t>((m - first) / 2)] = 0;
    }
    visit(first, is_prime.data(), length);
  }
}

// The same for the odd numbers 3 .. n.
template <class Visit>
void SieveOddSegments(std::int64_t n, Visit visit) {
  SieveOddSegmentsBetween(3, n, visit);
}

// The number of primes p <= n, exactly.
std::int64_t CountPrimesUpTo(std::int64_t n);

// Calls visit with every prime p <= n, in increasing order.
void ForEachPrimeUpTo(std::int64_t n, const std::function<void(std::int64_t)>& visit);

}  // namespace tallowby
