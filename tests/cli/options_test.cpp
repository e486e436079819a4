#include "cli/options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tallowby::cli {
namespace {

CliOptions Parse(std::vector<std::string_view> arguments) {
  return ParseOptions(arguments);
}

TEST(CliOptionsTest, ReadsEveryOptionInEitherSpelling) {
  const CliOptions options =
      Parse({"--count=5", "--highest", "-7", "--kind", "prime", "--unique", "--sort", "--seed",
             "18446744073709551615", "--output", "-", "--lf"});
  EXPECT_EQ(options.count, 5);
  EXPECT_EQ(options.highest, -7);
  EXPECT_EQ(options.kind, NumberKind::PrimeOnly);
  EXPECT_TRUE(options.unique && options.sort && options.line_feeds_only);
  EXPECT_EQ(options.seed, 18446744073709551615ULL);
  EXPECT_EQ(options.output, "-");
  EXPECT_FALSE(options.spreadsheet);

  const CliOptions plain = Parse({"--highest=2147483646", "--count", "0"});
  EXPECT_EQ(plain.kind, NumberKind::AllNumbers);
  EXPECT_FALSE(plain.seed.has_value());
  EXPECT_EQ(plain.output, "-");
  EXPECT_TRUE(Parse({"--count", "5", "--help"}).help) << "nothing else is required";
}

TEST(CliOptionsTest, RefusesWithAMessageNamingTheFault) {
  const struct {
    std::vector<std::string_view> arguments;
    std::string message;
  } cases[] = {
      {{"--highest", "5"}, "option '--count' is required"},
      {{"--count", "5"}, "option '--highest' is required"},
      {{"--count", "5", "--highest"}, "option '--highest' needs a value"},
      {{"--count", "five", "--highest", "5"},
       "invalid value 'five' for --count: not a whole number"},
      {{"--count", "5x", "--highest", "5"}, "invalid value '5x' for --count: not a whole number"},
      {{"--count", "", "--highest", "5"}, "invalid value '' for --count: not a whole number"},
      {{"--count", "-1", "--highest", "5"},
       "invalid value '-1' for --count: must be between 0 and 2147483647"},
      {{"--count", "2147483648", "--highest", "5"},
       "invalid value '2147483648' for --count: must be between 0 and 2147483647"},
      {{"--count", "1", "--highest", "2147483647"},
       "invalid value '2147483647' for --highest: must be between -2147483648 and 2147483646"},
      {{"--count", "1", "--highest", "5", "--seed", "-1"},
       "invalid value '-1' for --seed: not a whole number"},
      {{"--count", "1", "--highest", "5", "--kind", "square"},
       "invalid value 'square' for --kind: must be all, even, odd or prime"},
      {{"--count", "1", "--highest", "5", "--colour"}, "unknown option '--colour'"},
      {{"--count", "1", "--highest", "5", "extra"}, "unexpected argument 'extra'"},
      {{"--count", "1", "--highest", "5", "--unique=yes"}, "option '--unique' takes no value"},
      {{"--count", "1", "--highest", "5", "--output="},
       "invalid value '' for --output: empty name"},
      {{"--count", "1", "--highest", "5", "--spreadsheet", "--output", "-"},
       "options '--spreadsheet' and '--output' cannot be used together"},
      {{"--count", "1", "--highest", "5", "--spreadsheet", "--lf"},
       "option '--lf' has no meaning with '--spreadsheet'"},
      {{"--count", "1", "--highest", "5", "--count=2"}, "option '--count' is given twice"},
      {{"--count", "1", "--highest", "5", "--lf", "--lf"}, "option '--lf' is given twice"},
      {{"--count", "1", "--highest", "5", "-h", "--help"}, "option '--help' is given twice"},
      {{"--count", "1", "--highest", "5", "--output", "--lf"}, "option '--output' needs a value"},
      {{"--count", "--highest", "5"}, "option '--count' needs a value"},
  };
  for (const auto& c : cases) {
    try {
      Parse(c.arguments);
      ADD_FAILURE() << "accepted; expected: " << c.message;
    } catch (const UsageError& error) {
      EXPECT_EQ(error.what(), c.message);
    }
  }
}

}  // namespace
}  // namespace tallowby::cli
