#include "core/numbers/numeric_text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <regex>
#include <string>

#include "core/numbers/random_source.h"
#include "core/ports/failure.h"

namespace tallowby {
namespace {

// What converting gives: a value, or the failure's description.
std::string Outcome(std::string_view text, std::string_view separator) {
  try {
    return std::to_string(ToInt32(text, separator));
  } catch (const Failure& failure) {
    return failure.Description();
  }
}

struct Conversion {
  const char* text;
  const char* separator;
  const char* outcome;
};

TEST(ToInt32, ConvertsWhatTheFieldsAcceptAndRefusesTheRest) {
  const Conversion cases[] = {
      {"100", ".", "100"},
      {"  42\t", ".", "42"},
      {"+7", ".", "7"},
      {"-3", ".", "-3"},
      {"2.5", ".", "2"},
      {"3.5", ".", "4"},
      {"-2.5", ".", "-2"},
      {"0.5", ".", "0"},
      {"0.50001", ".", "1"},
      // The decimal typed decides, not its nearest double, which lies on the half.
      {"2.5000000000000001", ".", "3"},
      {"0.50000000000000001", ".", "1"},
      {"-2.50000000000000001", ".", "-3"},
      {"200000.50000000000004", ".", "200001"},
      {"25000000000000001e-16", ".", "3"},
      {"2147483646.50000000000000001", ".", "2147483647"},
      {"2147483647.00000000000000001", ".", "2147483647"},
      // Found by the fuzz target in seconds against the conversion through a double.
      {".50000000000000000000000000000000000000000000000000000000000"
       "000000000000000000000000000000000000000000000000000000307445734561825",
       ".", "1"},
      {".5", ".", "0"},
      {"5.", ".", "5"},
      {"1e3", ".", "1000"},
      {"1.5E+2", ".", "150"},
      {"25e-1", ".", "2"},
      {"2,5", ",", "2"},
      {"3,5", ",", "4"},
      {"2.5", ",", "Type mismatch"},  // a group separator where ',' is the decimal one
      {"1,000", ".", "Type mismatch"},
      {"2147483647", ".", "2147483647"},
      {"-2147483648", ".", "-2147483648"},
      {"2147483647.5", ".", "Overflow"},  // rounds half to even: 2147483648
      {"2147483646.5", ".", "2147483646"},
      {"2147483648", ".", "Overflow"},
      {"-2147483649", ".", "Overflow"},
      {"1e20", ".", "Overflow"},
      {"1e400", ".", "Overflow"},
      {"1e99999999999999999999999", ".", "Overflow"},
      {"1e-400", ".", "0"},
      {"0.000000000000000000000000000001e25", ".", "0"},
      {"00000000000000000000000000000012", ".", "12"},
      {"", ".", "Type mismatch"},
      {"   ", ".", "Type mismatch"},
      {"abc", ".", "Type mismatch"},
      {"inf", ".", "Type mismatch"},
      {"nan", ".", "Type mismatch"},
      {"0x10", ".", "Type mismatch"},
      {"&H10", ".", "Type mismatch"},
      {"12abc", ".", "Type mismatch"},
      {"1 2", ".", "Type mismatch"},
      {"--1", ".", "Type mismatch"},
      {"+", ".", "Type mismatch"},
      {".", ".", "Type mismatch"},
      {"1e", ".", "Type mismatch"},
      {"e5", ".", "Type mismatch"},
      {"1e+", ".", "Type mismatch"},
      {"1.2.3", ".", "Type mismatch"},
      {"١٢", ".", "Type mismatch"},
      {"2\xD9\xAB"
       "5",
       "\xD9\xAB", "2"},  // a separator of more than one byte
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Outcome(c.text, c.separator), c.outcome) << '"' << c.text << '"';
    EXPECT_EQ(IsNumeric(c.text, c.separator), std::string(c.outcome) != "Type mismatch")
        << '"' << c.text << '"';
  }
}

// An independent reading of the same rules: a regular expression for the form and strtod in
// the C locale for the value.
std::optional<double> Reference(const std::string& text) {
  static const std::regex form(R"(^[ \t]*[+-]?(\d+(\.\d*)?|\.\d+)([eE][+-]?\d+)?[ \t]*$)");
  if (!std::regex_match(text, form)) return std::nullopt;
  return std::strtod(text.c_str(), nullptr);
}

TEST(ToInt32, RandomTextsAreNeverHalfAccepted) {
  std::setlocale(LC_NUMERIC, "C");
  const std::string alphabet = "0123456789 \t+-.,eExanfi9";
  RandomSource source(99);
  for (int i = 0; i < 200'000; ++i) {
    std::string text;
    const auto length = source.NextBits() % 14;
    for (std::uint64_t j = 0; j < length; ++j)
      text += alphabet[source.NextBits() % alphabet.size()];

    const std::optional<double> expected = Reference(text);
    ASSERT_EQ(IsNumeric(text, "."), expected.has_value()) << '"' << text << '"';
    const std::string outcome = Outcome(text, ".");
    if (!expected) {
      ASSERT_EQ(outcome, "Type mismatch") << '"' << text << '"';
      continue;
    }
    const double rounded = std::rint(*expected);
    if (rounded < -2147483648.0 || rounded > 2147483647.0) {
      ASSERT_EQ(outcome, "Overflow") << '"' << text << '"';
    } else {
      ASSERT_EQ(outcome, std::to_string(static_cast<std::int32_t>(rounded))) << '"' << text << '"';
    }
  }
}

}  // namespace
}  // namespace tallowby
