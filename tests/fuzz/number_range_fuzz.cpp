// tallowby-cli's --range: ParseRange takes exactly "LO..HI" with LO <= HI, and RangeText gives
// back a text it reads as the same range.
#include <cstdint>
#include <string>

#include "cli/number_ranges.h"
#include "fuzz_check.h"
#include "whole_number_oracle.h"

using tallowby::NumberRange;
using tallowby::fuzz::Check;
using tallowby::fuzz::WholeNumber;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::size_t dots = text.find("..");
  std::optional<NumberRange> expected;
  if (dots != std::string::npos) {
    const auto low = WholeNumber(std::string_view(text).substr(0, dots));
    const auto high = WholeNumber(std::string_view(text).substr(dots + 2));
    if (low && high && *low <= *high) expected = NumberRange{*low, *high};
  }
  try {
    const NumberRange range = tallowby::cli::ParseRange(text);
    Check(expected == range, "ParseRange took a text it should refuse, or misread it", text);
    Check(tallowby::cli::ParseRange(tallowby::cli::RangeText(range)) == range,
          "RangeText does not read back", text);
  } catch (const tallowby::cli::RangeTextError& error) {
    Check(!expected, "ParseRange refused a range", text);
    Check(*error.what() != '\0', "a refusal without a reason", text);
  }
  return 0;
}
