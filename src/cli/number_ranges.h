// The number ranges of tallowby-cli's --range and --exclude, read from their text.
//
// Both parsers take outside text and nothing else, so that they can be fuzzed on their own.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/numbers/number_range.h"

namespace tallowby::cli {

// What is wrong with a range's text, in words that follow "invalid value '...' for --option: ".
class RangeTextError : public std::invalid_argument {
 public:
  using std::invalid_argument::invalid_argument;
};

// "LO..HI": two decimal whole numbers from -2147483648 to 2147483647, each an optional '-' and
// digits (no '+', no spaces, no other characters), joined by exactly two dots, with LO <= HI.
// "5..5" is the single number 5. Anything else throws RangeTextError.
NumberRange ParseRange(std::string_view text);

// A list of numbers and ranges separated by commas, such as "13,20..29,-5..-1": each item a
// number as in ParseRange or a range "LO..HI" as ParseRange takes it; no empty items, no spaces.
// Items may overlap and come in any order. Returns the numbers they cover as ranges sorted by
// value, none overlapping or touching another (so "1..3,4" gives 1..4). Anything else throws
// RangeTextError.
std::vector<NumberRange> ParseExclusions(std::string_view text);

// The text ParseRange reads back as the same range.
std::string RangeText(NumberRange range);

}  // namespace tallowby::cli
