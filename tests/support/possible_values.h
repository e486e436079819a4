// Every number a draw of a kind can give for a small highest number, found by walking the plain
// range with trial division: the yardstick for what the draws and their counts claim.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <set>

#include "core/ports/choices.h"

namespace tallowby::testing {

inline constexpr NumberKind kEveryKind[] = {NumberKind::AllNumbers, NumberKind::Even,
                                            NumberKind::Odd, NumberKind::PrimeOnly};

inline std::set<std::int32_t> PossibleValues(NumberKind kind, std::int32_t highest) {
  std::set<std::int32_t> values;
  for (std::int32_t v = std::min(highest + 1, 1); v <= std::max(highest + 1, 1); ++v) {
    const std::int32_t size = std::abs(v);
    bool prime = size >= 2;
    for (std::int32_t d = 2; d * d <= size; ++d)
      prime = prime && size % d != 0;
    if (kind == NumberKind::AllNumbers || (kind == NumberKind::Even && v % 2 == 0) ||
        (kind == NumberKind::Odd && v % 2 != 0)) {
      values.insert(v);
    } else if (kind == NumberKind::PrimeOnly && prime) {
      values.insert(size);
    }
  }
  return values;
}

}  // namespace tallowby::testing
