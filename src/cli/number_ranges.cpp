#include "cli/number_ranges.h"

#include <algorithm>
#include <charconv>

#include "cli/shell_quoting.h"

namespace tallowby::cli {

namespace {

std::int32_t ParseWhole(std::string_view text) {
  std::int32_t value = 0;
  // from_chars takes a '-' but no '+' or spaces, as wanted; an empty text or a lone '-' fails.
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error == std::errc::result_out_of_range)
    throw RangeTextError(ShellQuoted(text) + " is not between -2147483648 and 2147483647");
  if (text.empty() || error != std::errc{} || end != text.data() + text.size())
    throw RangeTextError(ShellQuoted(text) + " is not a whole number");
  return value;
}

}  // namespace

NumberRange ParseRange(std::string_view text) {
  const std::size_t dots = text.find("..");
  if (dots == std::string_view::npos) throw RangeTextError("not a range LO..HI");
  const NumberRange range{ParseWhole(text.substr(0, dots)), ParseWhole(text.substr(dots + 2))};
  if (range.low > range.high) {
    throw RangeTextError("the lowest number " + std::to_string(range.low) +
                         " is greater than the highest " + std::to_string(range.high));
  }
  return range;
}

std::vector<NumberRange> ParseExclusions(std::string_view text) {
  std::vector<NumberRange> items;
  for (std::size_t start = 0;;) {
    const std::size_t comma = std::min(text.find(',', start), text.size());
    const std::string_view item = text.substr(start, comma - start);
    if (item.empty()) throw RangeTextError("an empty item in the list");
    if (item.find("..") != std::string_view::npos) {
      items.push_back(ParseRange(item));
    } else {
      const std::int32_t n = ParseWhole(item);
      items.push_back({n, n});
    }
    if (comma == text.size()) break;
    start = comma + 1;
  }
  std::sort(items.begin(), items.end(),
            [](const NumberRange& a, const NumberRange& b) { return a.low < b.low; });
  std::vector<NumberRange> merged;
  for (const NumberRange& item : items) {
    if (!merged.empty() && std::int64_t{item.low} <= std::int64_t{merged.back().high} + 1) {
      merged.back().high = std::max(merged.back().high, item.high);
    } else {
      merged.push_back(item);
    }
  }
  return merged;
}

std::string RangeText(NumberRange range) {
  return std::to_string(range.low) + ".." + std::to_string(range.high);
}

}  // namespace tallowby::cli
