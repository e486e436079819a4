// The draws of whole lists: the window's draws, the draws from a set of values (a range, or
// exclusions), and the distinct and sorted draws, all from one source of random bits so that a
// seed fixes the list on every platform.
//
// Every draw is a template over the source: RandomSource (xoshiro256**, seeded) or
// BlockRandomSource (the operating system's cryptographic generator); both are instantiated.
#pragma once

#include <cstdint>

#include "core/numbers/block_random_source.h"
#include "core/numbers/draw_loop.h"
#include "core/numbers/random_source.h"
#include "core/numbers/value_set.h"
#include "core/ports/choices.h"

namespace tallowby {

// A uniform whole number 0 <= r < n for 1 <= n <= 2^32, from the top 32 bits of one generator
// output (multiply and reject, after Lemire). Exact, and the same on every standard library.
template <class Source>
std::uint64_t UniformBelow(Source& random, std::uint64_t n) {
  std::uint64_t product = (random.NextBits() >> 32) * n;
  if ((product & 0xFFFFFFFFULL) < n) {
    const std::uint64_t threshold = (std::uint64_t{1} << 32) % n;
    while ((product & 0xFFFFFFFFULL) < threshold)
      product = (random.NextBits() >> 32) * n;
  }
  return product >> 32;
}

// count numbers exactly as the window draws them (redraws, end values at half weight), by the
// window's own loop.
template <class Source>
void DrawAsTheWindowDoes(Source& random, NumberKind kind, std::int32_t highest, std::int32_t count,
                         NumberSink& sink);

// count numbers of the set, each with its weight (equal, or the window's; see ValueSet). The set
// must not be empty.
template <class Source>
void DrawFromSet(Source& random, const ValueSet& values, std::int32_t count, NumberSink& sink);

// The same draws, smallest first. Needs 4 bytes for each number or each possible value,
// whichever are fewer; SortedDrawBytes tells how many.
std::uint64_t SortedDrawBytes(NumberKind kind, std::int32_t highest, std::int32_t count);
std::uint64_t SortedDrawBytes(const ValueSet& values, std::int32_t count);
template <class Source>
void DrawSorted(Source& random, NumberKind kind, std::int32_t highest, std::int32_t count,
                NumberSink& sink);
template <class Source>
void DrawSorted(Source& random, const ValueSet& values, std::int32_t count, NumberSink& sink);

// count distinct numbers of the kind, each such set equally likely, in random order or smallest
// first. count must not exceed DistinctValues (core/numbers/distinct_values.h), or the set's
// Members(). The same seed chooses the same set either way.
template <class Source>
void DrawUnique(Source& random, NumberKind kind, std::int32_t highest, std::int32_t count,
                bool sorted, NumberSink& sink);
template <class Source>
void DrawUnique(Source& random, const ValueSet& values, std::int32_t count, bool sorted,
                NumberSink& sink);

}  // namespace tallowby
