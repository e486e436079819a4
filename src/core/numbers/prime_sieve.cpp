#include "core/numbers/prime_sieve.h"

#include <cmath>

namespace tallowby {

std::int64_t IntegerSquareRoot(std::int64_t n) {
  auto root = static_cast<std::int64_t>(std::sqrt(static_cast<double>(n)));
  while (root * root > n)
    --root;
  while ((root + 1) * (root + 1) <= n)
    ++root;
  return root;
}

std::int64_t CountPrimesUpTo(std::int64_t n) {
  if (n < 2) return 0;
  std::int64_t primes = 1;  // 2
  SieveOddSegments(n, [&](std::int64_t, const unsigned char* is_prime, std::int64_t length) {
    primes += std::count(is_prime, is_prime + length, 1);
  });
  return primes;
}

void ForEachPrimeUpTo(std::int64_t n, const std::function<void(std::int64_t)>& visit) {
  if (n < 2) return;
  visit(2);
  SieveOddSegments(n, [&](std::int64_t first, const unsigned char* is_prime, std::int64_t length) {
    for (std::int64_t j = 0; j < length; ++j)
      if (is_prime[j]) visit(first + 2 * j);
  });
}

}  // namespace tallowby
