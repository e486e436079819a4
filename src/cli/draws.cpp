#include "cli/draws.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <vector>

#include "core/numbers/distinct_values.h"
#include "core/numbers/draw_loop.h"
#include "core/numbers/draw_range.h"
#include "core/numbers/number_kinds.h"
#include "core/numbers/prime_sieve.h"

namespace tallowby::cli {

namespace {

// The numbers a distinct draw chooses among, numbered 0 .. size - 1 in increasing order of value.
// Every index is a value of the kind except for "prime", whose indexes stand for 2 and the odd
// numbers above it, the composite ones among them never chosen.
struct Candidates {
  NumberKind kind;
  std::int64_t first = 0;  // the value of index 0
  std::int64_t step = 1;   // between neighbouring values (index 0 of "prime" aside)
  std::uint64_t size = 0;

  Candidates(NumberKind k, std::int32_t highest) : kind(k) {
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
  void ForEachMember(std::int32_t highest, Visit visit) const {
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

// A set of indexes below 2^32 - 1, open addressing; for distinct draws far fewer than the
// candidates, where a bitmap of every candidate would be mostly empty.
class IndexSet {
 public:
  explicit IndexSet(std::uint64_t most)
      : slots_(std::bit_ceil(std::max<std::uint64_t>(2 * most, 16)), kEmpty),
        mask_(slots_.size() - 1) {}

  // False when the index was there already.
  bool Insert(std::uint32_t index) {
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
    return indexes;
  }

 private:
  static constexpr std::uint32_t kEmpty = 0xFFFFFFFFU;
  std::vector<std::uint32_t> slots_;
  std::uint64_t mask_;
};

// Distinct draws use a set of the chosen indexes while they are at most 1/128 of the candidates
// (4 bytes a slot, at least twice as many slots as numbers), a bitmap of the candidates beyond.
bool DrawsSparsely(std::uint64_t count, std::uint64_t candidates, std::uint64_t members) {
  return count * 128 <= candidates && count < members && (members - count) * 32 > candidates;
}

}  // namespace

std::uint64_t UniformBelow(RandomSource& random, std::uint64_t n) {
  std::uint64_t product = (random.NextBits() >> 32) * n;
  if ((product & 0xFFFFFFFFULL) < n) {
    const std::uint64_t threshold = (std::uint64_t{1} << 32) % n;
    while ((product & 0xFFFFFFFFULL) < threshold)
      product = (random.NextBits() >> 32) * n;
  }
  return product >> 32;
}

void DrawAsTheWindowDoes(RandomSource& random, NumberKind kind, std::int32_t highest,
                         std::int32_t count, NumberSink& sink) {
  // The loop the window's run draws with; --highest is refused where a draw could overflow, so
  // a failed draw is a fault, not a number to leave out.
  struct Target {
    NumberSink& sink;
    void Append(std::int32_t n) { sink.Append(n); }
    bool KeepGoing(std::int32_t) { return true; }
    void DrawFailed() { throw; }
  } target{sink};
  DrawLoop(random, kind, highest, count, target);
}

namespace {

// The values a sorted draw counts: the plain range, or 2 .. the prime bound.
DrawRange SortedValueRange(NumberKind kind, std::int32_t highest) {
  if (kind == NumberKind::PrimeOnly)
    return {2, std::max<std::int64_t>(PlainDrawRange(highest).LargestMagnitude(), 2)};
  return PlainDrawRange(highest);
}

}  // namespace

std::uint64_t SortedDrawBytes(NumberKind kind, std::int32_t highest, std::int32_t count) {
  const DrawRange range = SortedValueRange(kind, highest);
  const auto values = static_cast<std::uint64_t>(range.high - range.low + 1);
  return 4 * std::min(values, static_cast<std::uint64_t>(count));
}

void DrawSorted(RandomSource& random, NumberKind kind, std::int32_t highest, std::int32_t count,
                NumberSink& sink) {
  const DrawRange range = SortedValueRange(kind, highest);
  const auto values = static_cast<std::uint64_t>(range.high - range.low + 1);
  if (static_cast<std::uint64_t>(count) <= values) {
    // Fewer numbers than possible values: keep the numbers themselves.
    struct Keep final : NumberSink {
      std::vector<std::int32_t> numbers;
      void Append(std::int32_t n) override { numbers.push_back(n); }
    } kept;
    kept.numbers.reserve(static_cast<std::size_t>(count));
    DrawAsTheWindowDoes(random, kind, highest, count, kept);
    std::sort(kept.numbers.begin(), kept.numbers.end());
    for (const std::int32_t n : kept.numbers)
      sink.Append(n);
    return;
  }
  // More numbers than values: count how often each value comes.
  struct Tally final : NumberSink {
    std::vector<std::uint32_t> times;
    std::int64_t low;
    void Append(std::int32_t n) override { ++times[static_cast<std::size_t>(n - low)]; }
  } tally;
  tally.times.assign(static_cast<std::size_t>(values), 0);
  tally.low = range.low;
  DrawAsTheWindowDoes(random, kind, highest, count, tally);
  for (std::size_t i = 0; i < tally.times.size(); ++i) {
    const auto n = static_cast<std::int32_t>(range.low + static_cast<std::int64_t>(i));
    for (std::uint32_t t = 0; t < tally.times[i]; ++t)
      sink.Append(n);
  }
}

void DrawUnique(RandomSource& random, NumberKind kind, std::int32_t highest, std::int32_t count,
                bool sorted, NumberSink& sink) {
  const Candidates candidates(kind, highest);
  const auto wanted = static_cast<std::uint64_t>(count);
  if (wanted == 0) return;
  // The bound decides as well as the exact count whenever the set suits; a bitmap of primes
  // counts them on the way.
  if (DrawsSparsely(wanted, candidates.size,
                    static_cast<std::uint64_t>(FewestDistinctValues(kind, highest)))) {
    // Redraw until the candidate is a member not chosen before: each new number is equally
    // likely among those left.
    IndexSet chosen(wanted);
    for (std::uint64_t taken = 0; taken < wanted;) {
      const std::uint64_t index = UniformBelow(random, candidates.size);
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
  Bitmap unavailable(candidates.size);
  std::uint64_t left = candidates.size;
  if (kind == NumberKind::PrimeOnly) {
    unavailable.SetAll();
    left = 0;
    candidates.ForEachMember(highest, [&](std::uint64_t index) {
      unavailable.Clear(index);
      ++left;
    });
  }
  std::uint64_t taken = 0;
  // Redrawing stays cheap while at least 1/32 of the candidates are left ...
  for (; taken < wanted && left * 32 > candidates.size;) {
    const std::uint64_t index = UniformBelow(random, candidates.size);
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
    candidates.ForEachMember(highest, [&](std::uint64_t index) {
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
    candidates.ForEachMember(highest, [&](std::uint64_t index) {
      if (unavailable.Test(index)) sink.Append(candidates.Value(index));
    });
  }
}

}  // namespace tallowby::cli
