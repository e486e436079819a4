// The number fields: IsNumeric and ToInt32 against the exact decimal value of the text, for each
// decimal separator a locale may give. The first byte picks the separator, the rest is the field.
#include <cstdint>
#include <optional>
#include <regex>
#include <string>

#include "core/numbers/numeric_text.h"
#include "core/ports/failure.h"
#include "fuzz_check.h"

namespace {

using tallowby::fuzz::Check;

// An empty separator stands for the point; U+066B is the Arabic decimal separator.
constexpr std::string_view kSeparators[] = {".", ",", "\xD9\xAB", ""};

// The accepted notation, written independently of the parser: blanks, sign, digits with one
// separator, an exponent, blanks.
const std::regex& Notation(std::size_t which) {
  static const auto make = [](std::string_view separator) {
    if (separator.empty()) separator = ".";
    std::string escaped;
    for (char c : separator) {
      if (c == '.' || c == ',') escaped += '\\';
      escaped += c;
    }
    return std::regex("[ \\t]*([+-]?)([0-9]*)(?:" + escaped +
                      "([0-9]*))?(?:[eE]([+-]?)([0-9]+))?[ \\t]*");
  };
  static const std::regex notations[] = {make(kSeparators[0]), make(kSeparators[1]),
                                         make(kSeparators[2]), make(kSeparators[3])};
  return notations[which];
}

// The text's value rounded to the nearest integer, an exact half to even; nothing on overflow.
std::optional<std::int64_t> Rounded(const std::smatch& m) {
  std::string digits = m[2].str() + m[3].str();
  std::int64_t exponent = 0;
  for (char c : m[5].str())
    exponent = std::min<std::int64_t>(exponent * 10 + (c - '0'), 100'000'000);
  // Where the decimal point stands among the digits.
  std::int64_t point =
      static_cast<std::int64_t>(m[2].length()) + (m[4] == "-" ? -exponent : exponent);
  const std::size_t leading = std::min(digits.find_first_not_of('0'), digits.size());
  digits.erase(0, leading);
  point -= static_cast<std::int64_t>(leading);
  digits.erase(digits.find_last_not_of('0') + 1);
  if (digits.empty()) return 0;
  if (point > 10) return std::nullopt;  // at least 10^10
  if (point < 0) return 0;              // below 0.1
  std::int64_t whole = 0;
  std::string fraction;
  if (point == 0) {
    fraction = digits;
  } else {
    const std::string integer = (digits + std::string(static_cast<std::size_t>(point), '0'))
                                    .substr(0, static_cast<std::size_t>(point));
    whole = std::stoll(integer);
    if (static_cast<std::size_t>(point) < digits.size())
      fraction = digits.substr(static_cast<std::size_t>(point));
  }
  const bool half = fraction == "5";
  if (!fraction.empty() && (fraction[0] > '5' || (fraction[0] == '5' && !half))) ++whole;
  if (half && whole % 2 == 1) ++whole;
  if (m[1] == "-") whole = -whole;
  if (whole < INT32_MIN || whole > INT32_MAX) return std::nullopt;
  return whole;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Longer texts add nothing a field shows and only slow the regular expression down.
  if (size == 0 || size > 200) return 0;
  const std::size_t which = data[0] % std::size(kSeparators);
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::smatch match;
  const bool numeric = std::regex_match(text, match, Notation(which)) &&
                       (match[2].length() > 0 || match[3].length() > 0);
  Check(tallowby::IsNumeric(text, kSeparators[which]) == numeric, "IsNumeric", text);

  std::optional<std::int64_t> expected;
  if (numeric) expected = Rounded(match);
  try {
    const std::int32_t value = tallowby::ToInt32(text, kSeparators[which]);
    Check(expected == value, "ToInt32 gave a value where it should not, or the wrong one", text);
  } catch (const tallowby::Failure& failure) {
    const std::string_view why = failure.Description();
    Check(numeric ? !expected && why == tallowby::kOverflow : why == tallowby::kTypeMismatch,
          "ToInt32 failed wrongly", text);
  }
  return 0;
}
