// The draw engine as the front ends see it: one request for a list of numbers, the check that
// tells whether and why it cannot be drawn, and the one entry that draws it into a sink. The
// window's run and tallowby-cli both draw through it.
#pragma once

#include <concepts>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/numbers/block_random_source.h"
#include "core/numbers/draw_loop.h"
#include "core/numbers/number_range.h"
#include "core/numbers/random_source.h"
#include "core/ports/choices.h"

namespace tallowby {

// Where a list's random values come from.
class DrawSource {
 public:
  // None yet: a request is given its source before it is drawn, not before it is checked.
  DrawSource() = default;
  // A generator of the program's, seeded by the caller. The window's rule draws from any; the
  // other lists need a RandomSource, whose 64-bit outputs they take.
  explicit DrawSource(UniformSource& generator) : generator_(&generator) {}
  // A generator outside the program, read a block at a time, such as the operating system's
  // cryptographic one.
  explicit DrawSource(BlockRandomSource::Fill fill) : fill_(fill) {}

  UniformSource* Generator() const { return generator_; }
  BlockRandomSource::Fill Fill() const { return fill_; }

 private:
  UniformSource* generator_ = nullptr;
  BlockRandomSource::Fill fill_ = nullptr;
};

struct DrawRequest {
  NumberKind kind = NumberKind::AllNumbers;
  // Without a range, the window's draws for this highest number: 1 .. H + 1 for H >= 1 (H + 1 .. 1
  // below), the two end values half as likely as the others.
  std::int32_t highest = 0;
  // Every number of the kind in the range equally likely, instead of the window's draws.
  std::optional<NumberRange> range;
  // Never drawn: sorted ranges apart from each other. The numbers left keep their weights.
  std::vector<NumberRange> excluded;
  std::int32_t count = 0;
  // No number twice, each set of count numbers equally likely.
  bool unique = false;
  // Smallest first.
  bool sorted = false;
  DrawSource source;
};

// What a sorted list with repeats may take to sort: beyond it, the list is refused rather than
// left to exhaust memory.
inline constexpr std::uint64_t kSortedDrawByteLimit = std::uint64_t{1} << 30;

// Why a request cannot be drawn.
struct DrawRefusal {
  enum class Reason {
    kNothingToDraw,   // numbers are asked for, but no number of the kind is left
    kTooFewDistinct,  // unique, but there are fewer different numbers than count
    kTooLargeToSort,  // sorted with repeats, needing more than kSortedDrawByteLimit
  };
  Reason reason;
  // For kTooFewDistinct: how many different numbers there are.
  std::int64_t distinct = 0;

  friend bool operator==(const DrawRefusal&, const DrawRefusal&) = default;
};

// The first reason, in the order above, why the request cannot be drawn; nothing when it can.
// The source plays no part. Counting primes exactly takes seconds at the top of the range, and is
// done only when a unique count passes the proven bound.
std::optional<DrawRefusal> CheckRequest(const DrawRequest& request);

// The lists other than the window's rule from the program's generator, compiled once.
void DrawListThrough(const DrawRequest& request, NumberSink& sink);

// Draws the list of a request that passed its check into the sink, in output order. The window's
// rule from the program's generator is drawn here, the sink's calls inlined; the other lists never
// stop early and end at a failed draw with its exception. False when the sink stopped the list.
template <DrawSink Sink>
bool DrawList(const DrawRequest& request, Sink& sink) {
  UniformSource* generator = request.source.Generator();
  if (generator != nullptr && !request.range && request.excluded.empty() && !request.unique &&
      !request.sorted) {
    return DrawLoop(*generator, request.kind, request.highest, request.count, sink);
  }
  if constexpr (std::derived_from<Sink, NumberSink>) {
    DrawListThrough(request, sink);
  } else {
    struct Forward final : NumberSink {
      explicit Forward(Sink& sink) : to(sink) {}
      void Append(std::int32_t n) override { to.Append(n); }
      Sink& to;
    } forward(sink);
    DrawListThrough(request, forward);
  }
  return true;
}

}  // namespace tallowby
