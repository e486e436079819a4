// The loop that draws numbers by the window's rule, for the window's run and for tallowby-cli
// alike.
#pragma once

#include <concepts>
#include <cstdint>

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

// A sink behind one virtual call per number, for the draws compiled once for every sink: it takes
// every number, and a failed draw ends the list with its exception.
class NumberSink {
 public:
  virtual ~NumberSink() = default;
  virtual void Append(std::int32_t n) = 0;
  bool KeepGoing(std::int32_t) { return true; }
  void DrawFailed() { throw; }
};

// Draws count numbers of the kind into the sink. The kind picks its routine once, outside the
// loop. False when the sink stopped the loop.
template <UniformValues Source, DrawSink Sink>
bool DrawLoopFrom(Source& random, NumberKind kind, std::int32_t highest, std::int32_t count,
                  Sink& sink) {
  return WithDrawOfKind<Source>(kind, highest, [&](auto draw) {
    for (std::int32_t i = 0; i < count; ++i) {
      if (i % kDrawsBetweenLooks == kDrawsBetweenLooks - 1 && !sink.KeepGoing(i)) return false;
      std::int32_t n = 0;
      try {
        n = draw(random);
      } catch (...) {
        sink.DrawFailed();
        continue;
      }
      sink.Append(n);
    }
    return true;
  });
}

// The same from any UniformSource: a RandomSource is drawn from directly, without a virtual call
// per number.
template <DrawSink Sink>
bool DrawLoop(UniformSource& random, NumberKind kind, std::int32_t highest, std::int32_t count,
              Sink& sink) {
  if (auto* fast = dynamic_cast<RandomSource*>(&random))
    return DrawLoopFrom(*fast, kind, highest, count, sink);
  return DrawLoopFrom(random, kind, highest, count, sink);
}

}  // namespace tallowby
