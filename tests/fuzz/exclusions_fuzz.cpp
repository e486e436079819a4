// tallowby-cli's --exclude: ParseExclusions takes a comma-separated list of numbers and ranges,
// and its sorted, separate ranges cover exactly the numbers the items name.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "cli/number_ranges.h"
#include "fuzz_check.h"
#include "whole_number_oracle.h"

using tallowby::NumberRange;
using tallowby::fuzz::Check;
using tallowby::fuzz::WholeNumber;

namespace {

// The items as the list names them, or nothing when one of them is no number or range.
std::optional<std::vector<NumberRange>> Items(std::string_view text) {
  std::vector<NumberRange> items;
  while (true) {
    const std::size_t comma = text.find(',');
    const std::string_view item = text.substr(0, comma);
    const std::size_t dots = item.find("..");
    const auto low = WholeNumber(item.substr(0, dots));
    const auto high = dots == std::string_view::npos ? low : WholeNumber(item.substr(dots + 2));
    if (!low || !high || *low > *high) return std::nullopt;
    items.push_back({*low, *high});
    if (comma == std::string_view::npos) return items;
    text.remove_prefix(comma + 1);
  }
}

bool Covers(const std::vector<NumberRange>& ranges, std::int64_t n) {
  for (const NumberRange& range : ranges) {
    if (range.low <= n && n <= range.high) return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The coverage check below is quadratic; a few hundred items say all that thousands would.
  if (size > 1024) return 0;
  const std::string text(reinterpret_cast<const char*>(data), size);
  const auto items = Items(text);
  std::vector<NumberRange> merged;
  try {
    merged = tallowby::cli::ParseExclusions(text);
  } catch (const tallowby::cli::RangeTextError& error) {
    Check(!items, "ParseExclusions refused a list", text);
    Check(*error.what() != '\0', "a refusal without a reason", text);
    return 0;
  }
  Check(items.has_value(), "ParseExclusions took a list it should refuse", text);
  for (std::size_t i = 0; i < merged.size(); ++i) {
    Check(merged[i].low <= merged[i].high, "a range upside down", text);
    Check(i == 0 || std::int64_t{merged[i - 1].high} + 1 < merged[i].low,
          "ranges out of order, overlapping or touching", text);
  }
  // Every edge of every item and of every result, and their neighbours, is covered by the
  // result exactly when some item covers it.
  for (const std::vector<NumberRange>* ranges : {&*items, &std::as_const(merged)}) {
    for (const NumberRange& range : *ranges) {
      for (std::int64_t edge : {std::int64_t{range.low}, std::int64_t{range.high}}) {
        for (std::int64_t n = edge - 1; n <= edge + 1; ++n)
          Check(Covers(merged, n) == Covers(*items, n), "covers other numbers", text);
      }
    }
  }
  return 0;
}
