// The values a list is drawn from once it has a range or exclusions: the numbers of the kind in a
// range, less the excluded ones, held as a list of pieces rather than a bit per value, so that
// memory and the time per number stay bounded however much is excluded.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "core/numbers/draw_range.h"
#include "core/numbers/number_range.h"
#include "core/numbers/primality.h"
#include "core/numbers/prime_sieve.h"
#include "core/ports/choices.h"

namespace tallowby {

class ValueSet {
 public:
  // Every number of the kind in range (primes: 2 and up) but the excluded ones, equally likely.
  static ValueSet InRange(NumberKind kind, NumberRange range,
                          std::span<const NumberRange> excluded);

  // The values the window's draws give for highest (for primes, their absolute values) but the
  // excluded ones, with the window's weights: the two end values of the draw half as likely as
  // the others, as if an excluded value were drawn again.
  static ValueSet AsTheWindowDraws(NumberKind kind, std::int32_t highest,
                                   std::span<const NumberRange> excluded);

  // The candidates are numbered 0 .. Candidates() - 1 in increasing order of value. Each is a
  // value of the set, except for primes, whose candidates are 2 and the odd numbers, the composite
  // ones among them never drawn.
  std::uint64_t Candidates() const { return candidates_; }

  std::int32_t Value(std::uint64_t index) const {
    const Piece& piece = PieceOf(index);
    return static_cast<std::int32_t>(piece.first +
                                     piece.step * static_cast<std::int64_t>(index - piece.before));
  }

  bool IsMember(std::uint64_t index) const {
    if (kind_ != NumberKind::PrimeOnly) return true;
    std::int32_t n = Value(index);
    return IsPrimeNumber(n);
  }

  // How many values the set holds: at once except for primes, whose count takes a sieve of the
  // pieces (seconds for the widest range).
  std::int64_t Members() const;
  // At most Members(), at once: for primes, a bound from Rosser's and Dusart's bounds.
  std::int64_t FewestMembers() const;
  bool Empty() const { return candidates_ == 0; }

  // The smallest and the largest candidate: a set that is not empty lies within.
  DrawRange Span() const;

  // Calls visit with the index of every member, in increasing order.
  template <class Visit>
  void ForEachMember(Visit visit) const;

  // Every candidate a member of equal weight, first + step * index: the draw needs no more.
  bool IsArithmetic() const {
    return pieces_.size() == 1 && kind_ != NumberKind::PrimeOnly && half_weight_[0] == INT64_MIN &&
           half_weight_[1] == INT64_MIN;
  }

  // Whether a member drawn is taken or drawn again, to give the window's weights: the half-weight
  // end values are taken half the time.
  std::int64_t half_weight_low() const { return half_weight_[0]; }
  std::int64_t half_weight_high() const { return half_weight_[1]; }

 private:
  // Candidates before + i stand for first + step * i, for i < count.
  struct Piece {
    std::int64_t first;
    std::int64_t step;
    std::uint64_t count;
    std::uint64_t before;
  };

  ValueSet(NumberKind kind, DrawRange values, std::span<const NumberRange> excluded);
  void AddPieces(std::int64_t low, std::int64_t high);
  void AddPiece(std::int64_t first, std::int64_t step, std::uint64_t count);

  const Piece& PieceOf(std::uint64_t index) const {
    if (pieces_.size() == 1) return pieces_.front();
    std::size_t low = 0;
    std::size_t high = pieces_.size();
    while (high - low > 1) {
      const std::size_t middle = (low + high) / 2;
      if (pieces_[middle].before <= index) {
        low = middle;
      } else {
        high = middle;
      }
    }
    return pieces_[low];
  }

  template <class Visit>
  static void ForEachPrimeOfPiece(const Piece& piece, Visit visit);

  NumberKind kind_;
  std::vector<Piece> pieces_;
  std::uint64_t candidates_ = 0;
  // Values outside every 32-bit number when there are none.
  std::int64_t half_weight_[2] = {INT64_MIN, INT64_MIN};
};

template <class Visit>
void ValueSet::ForEachMember(Visit visit) const {
  for (const Piece& piece : pieces_) {
    if (kind_ != NumberKind::PrimeOnly) {
      for (std::uint64_t i = 0; i < piece.count; ++i)
        visit(piece.before + i);
      continue;
    }
    ForEachPrimeOfPiece(piece, [&](std::int64_t prime) {
      visit(piece.before + static_cast<std::uint64_t>((prime - piece.first) / piece.step));
    });
  }
}

template <class Visit>
void ValueSet::ForEachPrimeOfPiece(const Piece& piece, Visit visit) {
  if (piece.step == 1) {  // the piece of 2 alone
    visit(piece.first);
    return;
  }
  const std::int64_t last = piece.first + 2 * static_cast<std::int64_t>(piece.count - 1);
  // A short piece is quicker tested number by number than sieved from its square root up.
  if (piece.count < 4096) {
    for (std::int64_t n = piece.first; n <= last; n += 2) {
      auto candidate = static_cast<std::int32_t>(n);
      if (IsPrimeNumber(candidate)) visit(n);
    }
    return;
  }
  SieveOddSegmentsBetween(
      piece.first, last,
      [&](std::int64_t first, const unsigned char* is_prime, std::int64_t length) {
        for (std::int64_t j = 0; j < length; ++j)
          if (is_prime[j]) visit(first + 2 * j);
      });
}

}  // namespace tallowby
