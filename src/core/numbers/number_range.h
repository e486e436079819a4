// A range of whole numbers, as a list's range and its exclusions are given.
#pragma once

#include <cstdint>

namespace tallowby {

// Whole numbers low .. high, both included; low <= high.
struct NumberRange {
  std::int32_t low = 0;
  std::int32_t high = 0;

  std::uint64_t Size() const {
    return static_cast<std::uint64_t>(std::int64_t{high} - std::int64_t{low} + 1);
  }
  friend bool operator==(const NumberRange&, const NumberRange&) = default;
};

}  // namespace tallowby
