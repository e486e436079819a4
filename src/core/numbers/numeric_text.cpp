#include "core/numbers/numeric_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <string>

#include "core/ports/failure.h"

namespace tallowby {

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The pieces of a numeric text, or nothing when the text is not one.
struct NumberParts {
  bool negative = false;
  std::string_view integer_digits;
  std::string_view fraction_digits;
  bool exponent_negative = false;
  std::string_view exponent_digits;
};

std::string_view TakeDigits(std::string_view& rest) {
  std::size_t count = 0;
  while (count < rest.size() && IsDigit(rest[count]))
    ++count;
  const std::string_view digits = rest.substr(0, count);
  rest.remove_prefix(count);
  return digits;
}

bool TakeSign(std::string_view& rest, bool& negative) {
  if (rest.empty() || (rest.front() != '+' && rest.front() != '-')) return false;
  negative = rest.front() == '-';
  rest.remove_prefix(1);
  return true;
}

std::optional<NumberParts> Split(std::string_view text, std::string_view separator) {
  if (separator.empty()) separator = ".";
  while (!text.empty() && IsBlank(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back()))
    text.remove_suffix(1);

  NumberParts parts;
  TakeSign(text, parts.negative);
  parts.integer_digits = TakeDigits(text);
  if (text.starts_with(separator)) {
    text.remove_prefix(separator.size());
    parts.fraction_digits = TakeDigits(text);
  }
  if (parts.integer_digits.empty() && parts.fraction_digits.empty()) return std::nullopt;
  if (!text.empty() && (text.front() == 'e' || text.front() == 'E')) {
    text.remove_prefix(1);
    TakeSign(text, parts.exponent_negative);
    parts.exponent_digits = TakeDigits(text);
    if (parts.exponent_digits.empty()) return std::nullopt;
  }
  if (!text.empty()) return std::nullopt;
  return parts;
}

// Where the first significant digit stands relative to the decimal point (1 for 5, 2 for 50,
// 0 for 0.5, -1 for 0.05), saturating far beyond any double so that huge exponents cannot wrap.
constexpr long long kSaturated = 1'000'000'000'000'000;  // far beyond any text's length

long long DecimalMagnitude(const NumberParts& parts) {
  long long exponent = 0;
  for (char c : parts.exponent_digits)
    exponent = std::min(exponent * 10 + (c - '0'), kSaturated);
  if (parts.exponent_negative) exponent = -exponent;
  const auto first = parts.integer_digits.find_first_not_of('0');
  if (first != std::string_view::npos) {
    return static_cast<long long>(parts.integer_digits.size() - first) + exponent;
  }
  const auto leading_zeros = parts.fraction_digits.find_first_not_of('0');
  if (leading_zeros == std::string_view::npos) return -kSaturated;  // the value is zero
  return exponent - static_cast<long long>(leading_zeros);
}

}  // namespace

bool IsNumeric(std::string_view text, std::string_view decimal_separator) {
  return Split(text, decimal_separator).has_value();
}

std::int32_t ToInt32(std::string_view text, std::string_view decimal_separator) {
  const auto parts = Split(text, decimal_separator);
  if (!parts) throw Failure(kTypeMismatch);

  // Anything of eleven or more integer digits is out of range; anything below one half is zero.
  const long long magnitude = DecimalMagnitude(*parts);
  if (magnitude > 10) throw Failure(kOverflow);
  if (magnitude < -1) return 0;

  // Rebuilt in the one notation from_chars reads regardless of the user's locale.
  std::string plain;
  plain.reserve(parts->integer_digits.size() + parts->fraction_digits.size() +
                parts->exponent_digits.size() + 4);
  plain.append(parts->integer_digits.empty() ? "0" : parts->integer_digits);
  if (!parts->fraction_digits.empty()) plain.append(".").append(parts->fraction_digits);
  if (!parts->exponent_digits.empty()) {
    plain.append(parts->exponent_negative ? "e-" : "e").append(parts->exponent_digits);
  }
  double value = 0;
  const auto result = std::from_chars(plain.data(), plain.data() + plain.size(), value);
  if (result.ec != std::errc{} || result.ptr != plain.data() + plain.size()) {
    throw Failure(kOverflow);  // the magnitude check leaves no other way to fail here
  }
  value = std::rint(parts->negative ? -value : value);
  if (value < -2147483648.0 || value > 2147483647.0) throw Failure(kOverflow);
  return static_cast<std::int32_t>(value);
}

}  // namespace tallowby
