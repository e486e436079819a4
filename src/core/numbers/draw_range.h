// The numbers a plain draw can give for a highest number H: u x H rounded half to even, plus
// one, lies between H + 1 and 1, both included, whatever the sign of H.
#pragma once

#include <algorithm>
#include <cstdint>

namespace tallowby {

struct DrawRange {
  std::int64_t low;
  std::int64_t high;

  constexpr std::uint64_t Size() const { return static_cast<std::uint64_t>(high - low + 1); }
  // The largest absolute value in the range: no "Prime only" draw, which gives the absolute
  // value, is larger.
  constexpr std::int64_t LargestMagnitude() const { return std::max(-low, high); }
};

constexpr DrawRange PlainDrawRange(std::int32_t highest) {
  const std::int64_t top = std::int64_t{highest} + 1;
  return {std::min<std::int64_t>(top, 1), std::max<std::int64_t>(top, 1)};
}

}  // namespace tallowby
