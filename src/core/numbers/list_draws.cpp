#include "core/numbers/list_draws.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <utility>
#include <vector>

#include "core/numbers/block_random_source.h"
#include "core/numbers/distinct_values.h"
#include "core/numbers/draw_range.h"
#include "core/numbers/number_kinds.h"
#include "core/numbers/prime_sieve.h"

namespace tallowby {

namespace {

// The numbers a distinct draw for a highest number chooses among, numbered 0 .. size - 1 in
// increasing order of value. Every index is a value of the kind except for "prime", whose indexes
// stand for 2 and the odd numbers above it, the composite ones among them never chosen. (ValueSet
// offers the same to the draws from a set.)
struct HighestCandidates {
  NumberKind kind;
  std::int32_t highest;
  std::int64_t first = 0;  // the value of index 0
  std::int64_t step = 1;   // between neighbouring values (index 0 of "prime" aside)
  std::uint64_t size = 0;

  HighestCandidates(NumberKind k, std::int32_t h) : kind(k), highest(h) {
    const DrawRange range = PlainDrawRange(highest);
    switch (kind) {
      case NumberKind::AllNumbers:
        first = range.low;
        size = static_cast<std::uint64_t>(range.high - range.low + 1);
        break;
      case NumberKind::Even:
      case NumberKind::Odd: {
        const bool want_even = kind == NumberKind::Even;
        first = IsEvenNumber(static_cast<std::int32_t>(range.low)) == want_even ? range.low
                                                                                : range.low + 1;
        step = 2;
        size = static_cast<std::uint64_t>(DistinctValues(kind, highest));
        break;
      }
      case NumberKind::PrimeOnly: {
        const std::int64_t bound = PlainDrawRange(highest).LargestMagnitude();
        size = bound >= 2 ? static_cast<std::uint64_t>(1 + (bound - 1) / 2) : 0;
        break;
      }
    }
  }

  std::uint64_t Candidates() const { return size; }

  std::int32_t Value(std::uint64_t index) const {
    if (kind == NumberKind::PrimeOnly)
      return index == 0 ? 2 : static_cast<std::int32_t>(2 * index + 1);
    return static_cast<std::int32_t>(first + step * static_cast<std::int64_t>(index));
  }

  bool IsMember(std::uint64_t index) const {
    if (kind != NumberKind::PrimeOnly) return true;
    std::int32_t n = Value(index);
    return IsPrimeNumber(n);
  }

  // Calls visit with the index of every member, in increasing order.
  template <class Visit>
  void ForEachMember(Visit visit) const {
    if (kind != NumberKind::PrimeOnly) {
      for (std::uint64_t i = 0; i < size; ++i)
        visit(i);
      return;
    }
    const std::int64_t bound = PlainDrawRange(highest).LargestMagnitude();
    if (bound >= 2) visit(std::uint64_t{0});
    SieveOddSegments(
        bound, [&](std::int64_t first_odd, const unsigned char* is_prime, std::int64_t length) {
          for (std::int64_t j = 0; j < length; ++j) {
            if (is_prime[j]) visit(static_cast<std::uint64_t>((first_odd + 2 * j - 1) / 2));
          }
        });
  }
};

class Bitmap {
 public:
  explicit Bitmap(std::uint64_t bits) : words_((bits + 63) / 64, 0) {}
  bool Test(std::uint64_t i) const { return (words_[i >> 6] >> (i & 63)) & 1U; }
  void Set(std::uint64_t i) { words_[i >> 6] |= std::uint64_t{1} << (i & 63); }
  void Clear(std::uint64_t i) { words_[i >> 6] &= ~(std::uint64_t{1} << (i & 63)); }
  void SetAll() { std::fill(words_.begin(), words_.end(), ~std::uint64_t{0}); }

 private:
  std::vector<std::uint64_t> words_;
};

// A set of indexes below 2^32, open addressing; for distinct draws far fewer than the candidates,
// where a bitmap of every candidate would be mostly empty.
class IndexSet {
 public:
  explicit IndexSet(std::uint64_t most)
      : slots_(std::bit_ceil(std::max<std::uint64_t>(2 * most, 16)), kEmpty),
        mask_(slots_.size() - 1) {}

  // False when the index was there already.
  bool Insert(std::uint32_t index) {
    if (index == kEmpty) return !std::exchange(holds_empty_, true);
    std::uint64_t slot = ((index * 0x9E3779B97F4A7C15ULL) >> 20) & mask_;
    while (slots_[slot] != kEmpty) {
      if (slots_[slot] == index) return false;
      slot = (slot + 1) & mask_;
    }
    slots_[slot] = index;
    return true;
  }

  std::vector<std::uint32_t> Sorted() const {
    std::vector<std::uint32_t> indexes;
    for (const std::uint32_t index : slots_)
      if (index != kEmpty) indexes.push_back(index);
    std::sort(indexes.begin(), indexes.end());
    if (holds_empty_) indexes.push_back(kEmpty);
    return indexes;
  }

 private:
  static constexpr std::uint32_t kEmpty = 0xFFFFFFFFU;
  std::vector<std::uint32_t> slots_;
  std::uint64_t mask_;
  bool holds_empty_ = false;  // the one index a slot cannot hold
};

// Distinct draws use a set of the chosen indexes while they are at most 1/128 of the candidates
// (4 bytes a slot, at least twice as many slots as numbers), a bitmap of the candidates beyond.
bool DrawsSparsely(std::uint64_t count, std::uint64_t candidates, std::uint64_t members) {
  return count * 128 <= candidates && count < members && (members - count) * 32 > candidates;
}

}  // namespace

namespace {

// One number of the set: a candidate drawn by index, drawn again when it is no member (a composite
// candidate for primes) and, half the time, when it is an end value of half weight.
template <class Source>
std::int32_t DrawOne(Source& random, const ValueSet& values) {
  for (;;) {
    const std::uint64_t index = UniformBelow(random, values.Candidates());
    if (!values.IsMember(index)) continue;
    const std::int32_t n = values.Value(index);
    if ((n == values.half_weight_low() || n == values.half_weight_high()) &&
        (random.NextBits() >> 63) != 0)
      continue;
    return n;
  }
}

// Sorts the count numbers draw(sink) gives, all within range: kept and sorted when there are
// fewer of them than values, counted per value otherwise.
template <class DrawInto>
void SortDraws(DrawRange range, std::int32_t count, DrawInto draw_into, NumberSink& sink) {
  const auto values = static_cast<std::uint64_t>(range.high - range.low + 1);
  if (static_cast<std::uint64_t>(count) <= values) {
    struct Keep final : NumberSink {
      std::vector<std::int32_t> numbers;
      void Append(std::int32_t n) override { numbers.push_back(n); }
    } kept;
    kept.numbers.reserve(static_cast<std::size_t>(count));
    draw_into(kept);
    std::sort(kept.numbers.begin(), kept.numbers.end());
    for (const std::int32_t n : kept.numbers)
      sink.Append(n);
    return;
  }
  struct Tally final : NumberSink {
    std::vector<std::uint32_t> times;
    std::int64_t low;
    void Append(std::int32_t n) override { ++times[static_cast<std::size_t>(n - low)]; }
  } tally;
  tally.times.assign(static_cast<std::size_t>(values), 0);
  tally.low = range.low;
  draw_into(tally);
  for (std::size_t i = 0; i < tally.times.size(); ++i) {
    const auto n = static_cast<std::int32_t>(range.low + static_cast<std::int64_t>(i));
    for (std::uint32_t t = 0; t < tally.times[i]; ++t)
      sink.Append(n);
  }
}

// The values a sorted draw counts: the plain range, or 2 .. the prime bound.
DrawRange SortedValueRange(NumberKind kind, std::int32_t highest) {
  if (kind == NumberKind::PrimeOnly)
    return {2, std::max<std::int64_t>(PlainDrawRange(highest).LargestMagnitude(), 2)};
  return PlainDrawRange(highest);
}

std::uint64_t SortedBytes(DrawRange range, std::int32_t count) {
  const auto values = static_cast<std::uint64_t>(range.high - range.low + 1);
  return 4 * std::min(values, static_cast<std::uint64_t>(count));
}

// count distinct members of the candidates (HighestCandidates or a ValueSet), at least fewest of
// them known at once.
template <class Source, class Set>
void DrawDistinct(Source& random, const Set& candidates, std::int64_t fewest, std::int32_t count,
                  bool sorted, NumberSink& sink) {
  const auto wanted = static_cast<std::uint64_t>(count);
  const std::uint64_t size = candidates.Candidates();
  if (wanted == 0) return;
  // The bound decides as well as the exact count whenever the set suits; a bitmap of primes
  // counts them on the way.
  if (DrawsSparsely(wanted, size, static_cast<std::uint64_t>(fewest))) {
    // Redraw until the candidate is a member not chosen before: each new number is equally
    // likely among those left.
    IndexSet chosen(wanted);
    for (std::uint64_t taken = 0; taken < wanted;) {
      const std::uint64_t index = UniformBelow(random, size);
      if (!candidates.IsMember(index) || !chosen.Insert(static_cast<std::uint32_t>(index)))
        continue;
      ++taken;
      if (!sorted) sink.Append(candidates.Value(index));
    }
    if (sorted)
      for (const std::uint32_t index : chosen.Sorted())
        sink.Append(candidates.Value(index));
    return;
  }

  // A bit for every candidate that can no longer be chosen: taken, or (for primes) composite.
  Bitmap unavailable(size);
  std::uint64_t left = size;
  if (static_cast<std::uint64_t>(fewest) < size) {  // some candidates are no members
    unavailable.SetAll();
    left = 0;
    candidates.ForEachMember([&](std::uint64_t index) {
      unavailable.Clear(index);
      ++left;
    });
  }
  std::uint64_t taken = 0;
  // Redrawing stays cheap while at least 1/32 of the candidates are left ...
  for (; taken < wanted && left * 32 > size;) {
    const std::uint64_t index = UniformBelow(random, size);
    if (unavailable.Test(index)) continue;
    unavailable.Set(index);
    ++taken;
    --left;
    if (!sorted) sink.Append(candidates.Value(index));
  }
  // ... and then the ones left are listed (no more than the bitmap's size) and shuffled.
  std::vector<std::uint32_t> rest;
  if (taken < wanted) {
    rest.reserve(static_cast<std::size_t>(left));
    candidates.ForEachMember([&](std::uint64_t index) {
      if (!unavailable.Test(index)) rest.push_back(static_cast<std::uint32_t>(index));
    });
    for (std::size_t j = 0; taken < wanted; ++j, ++taken) {
      const std::size_t pick = j + static_cast<std::size_t>(UniformBelow(random, rest.size() - j));
      std::swap(rest[j], rest[pick]);
      if (sorted) {
        unavailable.Set(rest[j]);
      } else {
        sink.Append(candidates.Value(rest[j]));
      }
    }
  }
  if (sorted) {
    // The taken members are exactly the members marked unavailable, in increasing order.
    std::vector<std::uint32_t>().swap(rest);
    candidates.ForEachMember([&](std::uint64_t index) {
      if (unavailable.Test(index)) sink.Append(candidates.Value(index));
    });
  }
}

}  // namespace

template <class Source>
void DrawAsTheWindowDoes(Source& random, NumberKind kind, std::int32_t highest, std::int32_t count,
                         NumberSink& sink) {
  DrawLoopFrom(random, kind, highest, count, sink);
}

template <class Source>
void DrawFromSet(Source& random, const ValueSet& values, std::int32_t count, NumberSink& sink) {
  if (values.IsArithmetic()) {  // a range with nothing excluded, without the general case's checks
    const std::int64_t first = values.Value(0);
    const std::int64_t step = values.Candidates() > 1 ? values.Value(1) - first : 1;
    for (std::int32_t i = 0; i < count; ++i) {
      const auto index = static_cast<std::int64_t>(UniformBelow(random, values.Candidates()));
      sink.Append(static_cast<std::int32_t>(first + step * index));
    }
    return;
  }
  for (std::int32_t i = 0; i < count; ++i)
    sink.Append(DrawOne(random, values));
}

std::uint64_t SortedDrawBytes(NumberKind kind, std::int32_t highest, std::int32_t count) {
  return SortedBytes(SortedValueRange(kind, highest), count);
}

std::uint64_t SortedDrawBytes(const ValueSet& values, std::int32_t count) {
  return SortedBytes(values.Span(), count);
}

template <class Source>
void DrawSorted(Source& random, NumberKind kind, std::int32_t highest, std::int32_t count,
                NumberSink& sink) {
  SortDraws(
      SortedValueRange(kind, highest), count,
      [&](NumberSink& into) { DrawAsTheWindowDoes(random, kind, highest, count, into); }, sink);
}

template <class Source>
void DrawSorted(Source& random, const ValueSet& values, std::int32_t count, NumberSink& sink) {
  SortDraws(
      values.Span(), count, [&](NumberSink& into) { DrawFromSet(random, values, count, into); },
      sink);
}

template <class Source>
void DrawUnique(Source& random, NumberKind kind, std::int32_t highest, std::int32_t count,
                bool sorted, NumberSink& sink) {
  DrawDistinct(random, HighestCandidates(kind, highest), FewestDistinctValues(kind, highest), count,
               sorted, sink);
}

template <class Source>
void DrawUnique(Source& random, const ValueSet& values, std::int32_t count, bool sorted,
                NumberSink& sink) {
  DrawDistinct(random, values, values.FewestMembers(), count, sorted, sink);
}

#define TALLOWBY_DRAWS_FROM(Source)                                                                \
  template void DrawAsTheWindowDoes(Source&, NumberKind, std::int32_t, std::int32_t, NumberSink&); \
  template void DrawFromSet(Source&, const ValueSet&, std::int32_t, NumberSink&);                  \
  template void DrawSorted(Source&, NumberKind, std::int32_t, std::int32_t, NumberSink&);          \
  template void DrawSorted(Source&, const ValueSet&, std::int32_t, NumberSink&);                   \
  template void DrawUnique(Source&, NumberKind, std::int32_t, std::int32_t, bool, NumberSink&);    \
  template void DrawUnique(Source&, const ValueSet&, std::int32_t, bool, NumberSink&);
TALLOWBY_DRAWS_FROM(RandomSource)
TALLOWBY_DRAWS_FROM(BlockRandomSource)
#undef TALLOWBY_DRAWS_FROM

}  // namespace tallowby
