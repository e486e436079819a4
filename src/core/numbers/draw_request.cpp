#include "core/numbers/draw_request.h"

#include <stdexcept>

#include "core/numbers/distinct_values.h"
#include "core/numbers/list_draws.h"
#include "core/numbers/value_set.h"

namespace tallowby {

namespace {

// The values to draw from when a range or exclusions ask for them; none for the window's draws.
std::optional<ValueSet> ValuesOf(const DrawRequest& request) {
  if (request.range) return ValueSet::InRange(request.kind, *request.range, request.excluded);
  if (!request.excluded.empty())
    return ValueSet::AsTheWindowDraws(request.kind, request.highest, request.excluded);
  return std::nullopt;
}

template <class Source>
void DrawFrom(Source& random, const DrawRequest& request, const std::optional<ValueSet>& values,
              NumberSink& sink) {
  if (values) {
    if (request.unique) {
      DrawUnique(random, *values, request.count, request.sorted, sink);
    } else if (request.sorted) {
      DrawSorted(random, *values, request.count, sink);
    } else {
      DrawFromSet(random, *values, request.count, sink);
    }
  } else if (request.unique) {
    DrawUnique(random, request.kind, request.highest, request.count, request.sorted, sink);
  } else if (request.sorted) {
    DrawSorted(random, request.kind, request.highest, request.count, sink);
  } else {
    DrawAsTheWindowDoes(random, request.kind, request.highest, request.count, sink);
  }
}

}  // namespace

std::optional<DrawRefusal> CheckRequest(const DrawRequest& request) {
  using Reason = DrawRefusal::Reason;
  const std::optional<ValueSet> values = ValuesOf(request);
  const NumberKind kind = request.kind;
  const std::int32_t highest = request.highest;
  const bool none = values ? values->Empty() : !CanDrawKind(kind, highest);
  if (request.count > 0 && none) return DrawRefusal{Reason::kNothingToDraw};
  if (request.unique) {
    const std::int64_t fewest =
        values ? values->FewestMembers() : FewestDistinctValues(kind, highest);
    if (request.count > fewest) {
      const std::int64_t distinct = values ? values->Members() : DistinctValues(kind, highest);
      if (request.count > distinct) return DrawRefusal{Reason::kTooFewDistinct, distinct};
    }
  } else if (request.sorted) {
    const std::uint64_t bytes = values ? SortedDrawBytes(*values, request.count)
                                       : SortedDrawBytes(kind, highest, request.count);
    if (bytes > kSortedDrawByteLimit) return DrawRefusal{Reason::kTooLargeToSort};
  }
  return std::nullopt;
}

void DrawListThrough(const DrawRequest& request, NumberSink& sink) {
  const std::optional<ValueSet> values = ValuesOf(request);
  if (const BlockRandomSource::Fill fill = request.source.Fill()) {
    BlockRandomSource random(fill);
    DrawFrom(random, request, values, sink);
    return;
  }
  auto* random = dynamic_cast<RandomSource*>(request.source.Generator());
  if (random == nullptr)
    throw std::invalid_argument("this list needs the program's generator or a block source");
  DrawFrom(*random, request, values, sink);
}

}  // namespace tallowby
