#include "core/numbers/numeric_text.h"

#include <algorithm>
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

long long Exponent(const NumberParts& parts) {
  long long exponent = 0;
  for (char c : parts.exponent_digits)
    exponent = std::min(exponent * 10 + (c - '0'), kSaturated);
  return parts.exponent_negative ? -exponent : exponent;
}

long long DecimalMagnitude(const NumberParts& parts) {
  const long long exponent = Exponent(parts);
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

  // Rounded as the decimal typed, never through a double, whose nearest value can lie on the
  // other side of a half ("2.5000000000000001" is more than 2.5, and gives 3). The magnitude
  // check bounds the integer part to ten digits.
  std::string digits(parts->integer_digits);
  digits.append(parts->fraction_digits);
  // Where the decimal point stands among the digits once the exponent has moved it.
  const long long point = static_cast<long long>(parts->integer_digits.size()) + Exponent(*parts);
  const auto digit_at = [&](long long i) {
    return i >= 0 && i < static_cast<long long>(digits.size())
               ? digits[static_cast<std::size_t>(i)] - '0'
               : 0;
  };
  long long whole = 0;
  for (long long i = std::max(0LL, point - 11); i < point; ++i)
    whole = whole * 10 + digit_at(i);
  const int first_dropped = digit_at(point);
  const bool more_after_half =
      point + 1 < static_cast<long long>(digits.size()) &&
      digits.find_first_not_of('0', static_cast<std::size_t>(std::max(0LL, point + 1))) !=
          std::string::npos;
  if (first_dropped > 5 || (first_dropped == 5 && (more_after_half || whole % 2 == 1))) ++whole;
  if (parts->negative) whole = -whole;
  if (whole < -2147483648LL || whole > 2147483647LL) throw Failure(kOverflow);
  return static_cast<std::int32_t>(whole);
}

}  // namespace tallowby
