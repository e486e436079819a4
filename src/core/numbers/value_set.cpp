#include "core/numbers/value_set.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace tallowby {

namespace {

std::int64_t PrimesUpToSmall(std::int64_t x) {
  std::int64_t primes = 0;
  for (std::int32_t n = 2; n <= x; ++n) {
    std::int32_t candidate = n;
    if (IsPrimeNumber(candidate)) ++primes;
  }
  return primes;
}

// Proven bounds on the count of primes p <= x: x / ln x below (Rosser, x >= 17) and
// 1.25506 x / ln x above (Rosser and Schoenfeld, x > 1), each a step wider for rounding.
std::int64_t FewestPrimesUpTo(std::int64_t x) {
  if (x < 17) return PrimesUpToSmall(x);
  const double n = static_cast<double>(x);
  return static_cast<std::int64_t>(n / std::log(n)) - 1;
}

std::int64_t MostPrimesUpTo(std::int64_t x) {
  if (x < 17) return PrimesUpToSmall(x);
  const double n = static_cast<double>(x);
  return static_cast<std::int64_t>(1.25506 * n / std::log(n)) + 2;
}

}  // namespace

ValueSet ValueSet::InRange(NumberKind kind, NumberRange range,
                           std::span<const NumberRange> excluded) {
  return ValueSet(kind, {range.low, range.high}, excluded);
}

ValueSet ValueSet::AsTheWindowDraws(NumberKind kind, std::int32_t highest,
                                    std::span<const NumberRange> excluded) {
  const DrawRange raw = PlainDrawRange(highest);
  if (kind == NumberKind::PrimeOnly) {
    // A prime draw gives the absolute value; of the two ends, 1 is never prime.
    ValueSet set(kind, {2, raw.LargestMagnitude()}, excluded);
    if (highest != 0) set.half_weight_[1] = std::abs(std::int64_t{highest} + 1);
    return set;
  }
  ValueSet set(kind, raw, excluded);
  if (raw.low < raw.high) {
    set.half_weight_[0] = raw.low;
    set.half_weight_[1] = raw.high;
  }
  return set;
}

ValueSet::ValueSet(NumberKind kind, DrawRange values, std::span<const NumberRange> excluded)
    : kind_(kind) {
  // The excluded ranges are sorted and apart: what lies between them is left.
  std::int64_t next = values.low;
  for (const NumberRange& gap : excluded) {
    if (gap.high < next) continue;
    if (gap.low > values.high) break;
    if (gap.low > next) AddPieces(next, gap.low - 1);
    next = std::int64_t{gap.high} + 1;
  }
  if (next <= values.high) AddPieces(next, values.high);
}

void ValueSet::AddPieces(std::int64_t low, std::int64_t high) {
  switch (kind_) {
    case NumberKind::AllNumbers:
      AddPiece(low, 1, static_cast<std::uint64_t>(high - low + 1));
      return;
    case NumberKind::Even:
    case NumberKind::Odd: {
      const std::int64_t first = ((low & 1) == 0) == (kind_ == NumberKind::Even) ? low : low + 1;
      if (first <= high) AddPiece(first, 2, static_cast<std::uint64_t>((high - first) / 2 + 1));
      return;
    }
    case NumberKind::PrimeOnly:
      break;
  }
  low = std::max<std::int64_t>(low, 2);
  if (low == 2 && high >= 2) {
    AddPiece(2, 1, 1);
    low = 3;
  }
  const std::int64_t first = low | 1;
  // A piece without a prime would only be drawn from in vain. Below 2^31 primes lie less than
  // 300 apart, so this looks at few numbers, whatever the piece.
  for (std::int64_t n = first; n <= high; n += 2) {
    auto candidate = static_cast<std::int32_t>(n);
    if (IsPrimeNumber(candidate)) {
      AddPiece(first, 2, static_cast<std::uint64_t>((high - first) / 2 + 1));
      return;
    }
  }
}

void ValueSet::AddPiece(std::int64_t first, std::int64_t step, std::uint64_t count) {
  pieces_.push_back({first, step, count, candidates_});
  candidates_ += count;
}

std::int64_t ValueSet::Members() const {
  if (kind_ != NumberKind::PrimeOnly) return static_cast<std::int64_t>(candidates_);
  std::int64_t primes = 0;
  for (const Piece& piece : pieces_)
    ForEachPrimeOfPiece(piece, [&](std::int64_t) { ++primes; });
  return primes;
}

std::int64_t ValueSet::FewestMembers() const {
  if (kind_ != NumberKind::PrimeOnly) return static_cast<std::int64_t>(candidates_);
  std::int64_t primes = 0;
  for (const Piece& piece : pieces_) {
    const std::int64_t last = piece.first + piece.step * static_cast<std::int64_t>(piece.count - 1);
    // Every piece holds a prime.
    primes += std::max<std::int64_t>(1, FewestPrimesUpTo(last) - MostPrimesUpTo(piece.first - 1));
  }
  return primes;
}

DrawRange ValueSet::Span() const {
  if (pieces_.empty()) return {1, 0};
  const Piece& last = pieces_.back();
  return {pieces_.front().first,
          last.first + last.step * static_cast<std::int64_t>(last.count - 1)};
}

}  // namespace tallowby
