// The loop that draws a run's numbers, for the window's run and for tallowby-cli alike.
#pragma once

#include <concepts>
#include <cstdint>
#include <type_traits>

#include "core/numbers/number_kinds.h"
#include "core/numbers/random_source.h"

namespace tallowby {

// What the loop hands each number to, and asks along the way.
template <class Sink>
concept DrawSink = requires(Sink& sink, std::int32_t n) {
  // Takes the numbers in drawing order.
  sink.Append(n);
  // Asked every kDrawsBetweenLooks numbers with how many were drawn: false stops the loop.
  { sink.KeepGoing(n) } -> std::same_as<bool>;
  // Called inside the catch block of a draw that failed (only H = 2147483647 overflows): it may
  // rethrow, or note the failure and let the loop leave that number out and go on.
  sink.DrawFailed();
};

inline constexpr std::int32_t kDrawsBetweenLooks = std::int32_t{1} << 14;

// Draws count numbers of the kind into the sink. The kind picks its routine once, outside the
// loop, and a RandomSource is drawn from directly, without a virtual call per number. False when
// the sink stopped the loop.
template <DrawSink Sink>
bool DrawLoop(UniformSource& random, NumberKind kind, std::int32_t highest, std::int32_t count,
              Sink& sink) {
  const auto loop = [&](auto& source) {
    using Source = std::remove_reference_t<decltype(source)>;
    return WithDrawOfKind<Source>(kind, highest, [&](auto draw) {
      for (std::int32_t i = 0; i < count; ++i) {
        if (i % kDrawsBetweenLooks == kDrawsBetweenLooks - 1 && !sink.KeepGoing(i)) return false;
        std::int32_t n = 0;
        try {
          n = draw(source);
        } catch (...) {
          sink.DrawFailed();
          continue;
        }
        sink.Append(n);
      }
      return true;
    });
  };
  if (auto* fast = dynamic_cast<RandomSource*>(&random)) return loop(*fast);
  return loop(random);
}

}  // namespace tallowby
