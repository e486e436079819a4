// tallowby-cli --spreadsheet against a real headless office.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "calc/calc_launcher.h"
#include "calc/office_fixture.h"
#include "cli/cli_run.h"
#include "cli/options.h"
#include "core/numbers/list_draws.h"
#include "platform/posix/native_file_system.h"

namespace tallowby::calc::testing {
namespace {

using CliCalcTest = OfficeTest;

TEST_F(CliCalcTest, PutsTheNumbersIntoANewWorkbook) {
  NativeFileSystem files;
  std::ostringstream errors;
  cli::CliEnvironment environment{files, [this] { return CreateCalcLauncher(Options()); },
                                  [](std::string_view) {}, errors};
  const std::vector<std::string_view> arguments = {"--count", "5",    "--highest",    "99",
                                                   "--seed",  "2026", "--spreadsheet"};
  ASSERT_EQ(cli::RunCli(arguments, environment), cli::kExitSuccess) << errors.str();
  Observer observer(Pipe());
  ASSERT_EQ(observer.SpreadsheetCount(), 1);
  EXPECT_EQ(observer.NumberRanges(0), std::vector<std::string>{"A1:A5"});
  RandomSource random(2026);
  struct Expected final : NumberSink {
    std::vector<double> numbers;
    void Append(std::int32_t n) override { numbers.push_back(n); }
  } expected;
  DrawAsTheWindowDoes(random, NumberKind::AllNumbers, 99, 5, expected);
  EXPECT_EQ(observer.ColumnA(0, {1, 2, 3, 4, 5}), expected.numbers);
}

// Rows of three from column A, the last one shorter: 1 2 3 / 4 5 6 / 7 8 (the office names those
// cells as columns A-B and C).
TEST_F(CliCalcTest, PutsRowsOfSeveralColumnsIntoANewWorkbook) {
  NativeFileSystem files;
  std::ostringstream errors;
  cli::CliEnvironment environment{files, [this] { return CreateCalcLauncher(Options()); },
                                  [](std::string_view) {}, errors};
  const std::vector<std::string_view> arguments = {
      "--count", "8", "--range", "1..8", "--unique", "--sort", "--columns", "3", "--spreadsheet"};
  ASSERT_EQ(cli::RunCli(arguments, environment), cli::kExitSuccess) << errors.str();
  Observer observer(Pipe());
  ASSERT_EQ(observer.SpreadsheetCount(), 1);
  EXPECT_EQ(observer.NumberRanges(0), (std::vector<std::string>{"A1:B3", "C1:C2"}));
  EXPECT_EQ(observer.ColumnA(0, {1, 2, 3}), (std::vector<double>{1, 4, 7}));
}

}  // namespace
}  // namespace tallowby::calc::testing
