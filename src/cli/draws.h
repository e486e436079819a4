// What tallowby-cli draws: the window's draws, and the distinct and sorted draws of the command
// line, all from one RandomSource so that a seed fixes the list on every platform.
#pragma once

#include <cstdint>
#include <functional>

#include "core/numbers/random_source.h"
#include "core/ports/choices.h"

namespace tallowby::cli {

// Takes the drawn numbers one at a time, in output order.
class NumberSink {
 public:
  virtual ~NumberSink() = default;
  virtual void Append(std::int32_t n) = 0;
};

// A uniform whole number 0 <= r < n for 1 <= n <= 2^32, from the top 32 bits of one generator
// output (multiply and reject, after Lemire). Exact, and the same on every standard library.
std::uint64_t UniformBelow(RandomSource& random, std::uint64_t n);

// count numbers exactly as the window draws them (redraws, end values at half weight).
void DrawAsTheWindowDoes(RandomSource& random, NumberKind kind, std::int32_t highest,
                         std::int32_t count, NumberSink& sink);

// The same draws, smallest first. Needs 4 bytes for each number or each possible value,
// whichever are fewer; SortedDrawBytes tells how many.
std::uint64_t SortedDrawBytes(NumberKind kind, std::int32_t highest, std::int32_t count);
void DrawSorted(RandomSource& random, NumberKind kind, std::int32_t highest, std::int32_t count,
                NumberSink& sink);

// count distinct numbers of the kind, each such set equally likely, in random order or smallest
// first. count must not exceed DistinctValues (core/numbers/distinct_values.h). The same seed
// chooses the same set either way.
void DrawUnique(RandomSource& random, NumberKind kind, std::int32_t highest, std::int32_t count,
                bool sorted, NumberSink& sink);

}  // namespace tallowby::cli
