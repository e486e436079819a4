#include "core/numbers/primality.h"

#include <cmath>

#include "core/ports/failure.h"

namespace tallowby {

namespace {

std::uint32_t AbsoluteValue(std::int32_t& n) {
  if (n == INT32_MIN) throw Failure(kOverflow);
  if (n < 0) n = -n;
  return static_cast<std::uint32_t>(n);
}

// Montgomery arithmetic modulo an odd n < 2^31 with R = 2^32: a multiplication costs three integer
// multiplications and no division, which is what makes the test cheap.
class Montgomery {
 public:
  explicit Montgomery(std::uint32_t n) : n_(n) {
    std::uint32_t inverse = n;  // correct to 3 bits; each step doubles that
    for (int i = 0; i < 4; ++i)
      inverse *= 2 - n * inverse;
    minus_inverse_ = 0U - inverse;
    one_ = static_cast<std::uint32_t>((std::uint64_t{1} << 32) % n);
  }

  std::uint32_t ToForm(std::uint32_t a) const {
    return static_cast<std::uint32_t>((static_cast<std::uint64_t>(a) << 32) % n_);
  }
  std::uint32_t One() const { return one_; }
  std::uint32_t MinusOne() const { return n_ - one_; }

  std::uint32_t Multiply(std::uint32_t a, std::uint32_t b) const {
    return Reduce(static_cast<std::uint64_t>(a) * b);
  }

  std::uint32_t Power(std::uint32_t base_form, std::uint32_t exponent) const {
    std::uint32_t result = one_;
    while (exponent != 0) {
      if (exponent & 1U) result = Multiply(result, base_form);
      base_form = Multiply(base_form, base_form);
      exponent >>= 1;
    }
    return result;
  }

 private:
  // t < n * 2^32 < 2^63, and m * n < 2^63, so the sum fits in 64 bits.
  std::uint32_t Reduce(std::uint64_t t) const {
    const std::uint32_t m = static_cast<std::uint32_t>(t) * minus_inverse_;
    const std::uint64_t sum = t + static_cast<std::uint64_t>(m) * n_;
    std::uint32_t reduced = static_cast<std::uint32_t>(sum >> 32);
    if (reduced >= n_) reduced -= n_;
    return reduced;
  }

  std::uint32_t n_;
  std::uint32_t minus_inverse_ = 0;
  std::uint32_t one_ = 0;
};

bool IsStrongProbablePrime(const Montgomery& field, std::uint32_t n, std::uint32_t base) {
  std::uint32_t d = n - 1;
  int squarings = 0;
  while ((d & 1U) == 0) {
    d >>= 1;
    ++squarings;
  }
  std::uint32_t x = field.Power(field.ToForm(base), d);
  if (x == field.One() || x == field.MinusOne()) return true;
  for (int i = 1; i < squarings; ++i) {
    x = field.Multiply(x, x);
    if (x == field.MinusOne()) return true;
  }
  return false;
}

// n is an absolute value of a 32-bit number, so n <= 2^31, as the Montgomery form needs.
bool IsPrimeValue(std::uint32_t n) {
  if (n < 2) return false;
  constexpr std::uint32_t kSmallPrimes[] = {2, 3, 5, 7, 11, 13, 17, 19, 23, 29, 31, 37, 41, 43, 47};
  for (std::uint32_t p : kSmallPrimes) {
    if (n % p == 0) return n == p;
  }
  if (n < 53 * 53) return true;  // no prime factor up to 47 and below 53^2
  const Montgomery field(n);
  return IsStrongProbablePrime(field, n, 2) && IsStrongProbablePrime(field, n, 7) &&
         IsStrongProbablePrime(field, n, 61);
}

}  // namespace

bool IsPrimeNumber(std::int32_t& n) {
  return IsPrimeValue(AbsoluteValue(n));
}

bool IsPrimeByTrialDivision(std::int32_t& n) {
  const std::uint32_t value = AbsoluteValue(n);
  if (value < 2) return false;
  if (value % 2 == 0) return value == 2;
  if (value < 9) return true;
  const auto limit = static_cast<std::uint32_t>(std::floor(std::sqrt(static_cast<double>(value))));
  for (std::uint32_t i = 3; i <= limit; i += 2) {
    if (value % i == 0) return false;
  }
  return true;
}

}  // namespace tallowby
