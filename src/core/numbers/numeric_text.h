// Numbers typed by the user: when a field counts as numeric, and its value as a 32-bit integer.
//
// Accepted: blanks around the number, one leading sign, digits with at most one decimal
// separator (the user's own, passed in), and an exponent ("1.5e3"). Not accepted: an empty text,
// inf, nan, hexadecimal, digit grouping, or anything after the number.
#pragma once

#include <cstdint>
#include <string_view>

namespace tallowby {

inline constexpr const char* kTypeMismatch = "Type mismatch";

bool IsNumeric(std::string_view text, std::string_view decimal_separator);

// Rounds a fraction to the nearest integer, an exact half to the even neighbour (2.5 -> 2,
// 3.5 -> 4). Throws Failure("Type mismatch") when the text is not numeric and Failure("Overflow")
// when the value lies outside -2147483648 .. 2147483647.
std::int32_t ToInt32(std::string_view text, std::string_view decimal_separator);

}  // namespace tallowby
