// The four kinds of number and the draws that produce them.
//
// A plain draw scales a uniform value by the highest number H, rounds half to even and adds one,
// so for H >= 1 it lies in 1 .. H + 1 with the two end values at half weight. The kind-specific
// draws redraw until the candidate fits; CanDrawKind() tells beforehand whether it ever will.
#pragma once

#include <cmath>
#include <concepts>
#include <cstdint>

#include "core/numbers/primality.h"
#include "core/ports/choices.h"
#include "core/ports/failure.h"

namespace tallowby {

template <class Source>
concept UniformValues = requires(Source& source) {
  { source.NextUniform() } -> std::same_as<double>;
};

inline bool IsEvenNumber(std::int32_t n) {
  return (static_cast<std::uint32_t>(n) & 1U) == 0;
}
inline bool IsOddNumber(std::int32_t n) {
  return (static_cast<std::uint32_t>(n) & 1U) == 1;
}

// Rounds to the nearest integer, an exact half going to the even neighbour (2.5 -> 2, 3.5 -> 4).
// std::rint does exactly that in the default rounding mode, which the program never changes.
inline double RoundHalfToEven(double p) {
  return std::rint(p);
}

template <UniformValues Source>
std::int32_t DrawNumber(Source& source, std::int32_t highest) {
  const double rounded = RoundHalfToEven(source.NextUniform() * static_cast<double>(highest));
  // Only H = 2147483647 can round up to the top of the range, where adding one overflows.
  if (rounded >= 2147483647.0) throw Failure(kOverflow);
  return static_cast<std::int32_t>(rounded) + 1;
}

template <UniformValues Source>
std::int32_t DrawAnyNumber(Source& source, std::int32_t highest) {
  return DrawNumber(source, highest);
}

// Redraws until the candidate fits. The starting candidates never fit, so every kind draws at
// least once; the number of redraws has no bound of its own (see CanDrawKind).
template <UniformValues Source, class Fits>
std::int32_t RedrawUntil(Source& source, std::int32_t highest, std::int32_t candidate, Fits fits) {
  while (!fits(candidate))
    candidate = DrawNumber(source, highest);
  return candidate;
}

template <UniformValues Source>
std::int32_t DrawEvenNumber(Source& source, std::int32_t highest) {
  return RedrawUntil(source, highest, 1, IsEvenNumber);
}

template <UniformValues Source>
std::int32_t DrawOddNumber(Source& source, std::int32_t highest) {
  return RedrawUntil(source, highest, 0, IsOddNumber);
}

// Always non-negative: the test leaves the candidate's absolute value in it.
template <UniformValues Source>
std::int32_t DrawPrimeNumber(Source& source, std::int32_t highest) {
  return RedrawUntil(source, highest, 0, [](std::int32_t& n) { return IsPrimeNumber(n); });
}

// Calls use(draw) with the draw routine of the kind, a callable taking the source: the one place
// the kind picks its routine, so that a loop can choose it once, outside the loop.
template <UniformValues Source, class Use>
decltype(auto) WithDrawOfKind(NumberKind kind, std::int32_t highest, Use use) {
  switch (kind) {
    case NumberKind::Even:
      return use([highest](Source& source) { return DrawEvenNumber(source, highest); });
    case NumberKind::Odd:
      return use([highest](Source& source) { return DrawOddNumber(source, highest); });
    case NumberKind::PrimeOnly:
      return use([highest](Source& source) { return DrawPrimeNumber(source, highest); });
    case NumberKind::AllNumbers:
      break;
  }
  return use([highest](Source& source) { return DrawAnyNumber(source, highest); });
}

template <UniformValues Source>
std::int32_t DrawNumberOfKind(Source& source, NumberKind kind, std::int32_t highest) {
  return WithDrawOfKind<Source>(kind, highest, [&](auto draw) { return draw(source); });
}

// False when no possible draw for this highest number is of the kind, so the redraw loop of that
// kind would never end: Even with H = 0 (every draw is 1), and Prime only with H = 0, -1 or -2
// (every draw has absolute value 0 or 1).
bool CanDrawKind(NumberKind kind, std::int32_t highest);

}  // namespace tallowby
