// --range, --exclude, --columns, --secure and --version: what the command line gives.
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_run.h"
#include "cli/options.h"
#include "core/ports/failure.h"
#include "support/native_platform.h"

namespace tallowby::cli {
namespace {

// A spreadsheet that lays the numbers out as it is told to, cell by cell (row, column).
using Grid = std::map<std::pair<std::int64_t, std::int32_t>, std::int32_t>;
struct GridSheet final : SpreadsheetApplication {
  explicit GridSheet(Grid& grid) : cells(grid) {}
  Grid& cells;
  void AddWorkbook() override {}
  void WriteFirstColumn(std::span<const std::int32_t>, std::int64_t) override {
    throw Failure("expected WriteRows");
  }
  void WriteRows(std::span<const std::int32_t> values, std::int32_t columns,
                 std::int64_t first_row) override {
    for (std::size_t i = 0; i < values.size(); ++i)
      cells[{first_row + static_cast<std::int64_t>(i) / columns,
             1 + static_cast<std::int32_t>(i) % columns}] = values[i];
  }
  void MakeVisible() override {}
};

struct CliResult {
  int status;
  std::string out;
  std::string err;
};

CliResult RunWith(std::vector<std::string_view> arguments, Grid* sheet = nullptr) {
  NativeFileSystem files;
  std::ostringstream err;
  std::string out;
  struct Launcher final : SpreadsheetLauncher {
    Grid* sheet;
    bool IsPresent() override { return true; }
    std::unique_ptr<SpreadsheetApplication> StartHidden() override {
      return std::make_unique<GridSheet>(*sheet);
    }
  };
  CliEnvironment environment{files,
                             [&]() -> std::unique_ptr<SpreadsheetLauncher> {
                               auto launcher = std::make_unique<Launcher>();
                               launcher->sheet = sheet;
                               return launcher;
                             },
                             [&](std::string_view bytes) { out.append(bytes); }, err};
  const int status = RunCli(arguments, environment);
  return {status, out, err.str()};
}

TEST(CliRangesTest, DrawsWhatTheOptionsAskAndRefusesTheRest) {
  const struct {
    std::vector<std::string_view> arguments;
    int status;
    std::string out_or_message;
  } cases[] = {
      {{"--version"}, kExitSuccess, "tallowby-cli 7.00\n"},
      // Seeded lists stay what they are on every platform: the lottery, and columns of a range.
      {{"--range", "1..49", "--count", "6", "--unique", "--sort", "--seed", "1", "--lf"},
       kExitSuccess,
       "4\n8\n20\n26\n29\n35\n"},
      {{"--range=-5..5", "--count", "12", "--columns", "5", "--separator", ",", "--seed", "3"},
       kExitSuccess,
       "2,2,-3,0,-1\r\n-1,-3,2,5,-3\r\n5,2\r\n"},
      {{"--range", "7..7", "--count", "3", "--columns", "2"}, kExitSuccess, "7\t7\r\n7\r\n"},
      {{"--range", "9..11", "--kind", "even", "--count", "2", "--lf"}, kExitSuccess, "10\n10\n"},
      {{"--range", "24..29", "--kind", "prime", "--count", "2", "--lf"}, kExitSuccess, "29\n29\n"},
      {{"--range", "1..1000000000", "--exclude", "1..999999999", "--count", "2", "--lf"},
       kExitSuccess,
       "1000000000\n1000000000\n"},
      {{"--highest", "2", "--exclude", "3,1", "--count", "2", "--lf"}, kExitSuccess, "2\n2\n"},
      {{"--highest", "-9", "--kind", "prime", "--exclude", "2..5", "--count", "2", "--lf"},
       kExitSuccess,
       "7\n7\n"},
      {{"--range", "-2..2", "--exclude", "0", "--count", "4", "--unique", "--sort", "--lf"},
       kExitSuccess,
       "-2\n-1\n1\n2\n"},
      {{"--range", "6..1", "--count", "1"},
       kExitBadInput,
       "invalid value '6..1' for --range: the lowest number 6 is greater than the highest 1"},
      {{"--range", "1-6", "--count", "1"},
       kExitBadInput,
       "invalid value '1-6' for --range: not a range LO..HI"},
      {{"--range", "1..2147483648", "--count", "1"},
       kExitBadInput,
       "invalid value '1..2147483648' for --range: '2147483648' is not between -2147483648 and "
       "2147483647"},
      {{"--range", "1..6", "--highest", "5", "--count", "1"},
       kExitBadInput,
       "options '--range 1..6' and '--highest 5' cannot be used together"},
      {{"--range", "-10..1", "--kind", "prime", "--count", "1"},
       kExitBadInput,
       "no number of --kind prime can be drawn with --range -10..1"},
      {{"--range", "24..28", "--kind", "prime", "--count", "1"},
       kExitBadInput,
       "no number of --kind prime can be drawn with --range 24..28"},
      {{"--range", "1..5", "--exclude", "5,1..4", "--count", "1"},
       kExitBadInput,
       "no number of --kind all can be drawn with --range 1..5 --exclude 5,1..4"},
      {{"--range", "1..5", "--exclude", "2..3", "--unique", "--count", "4"},
       kExitBadInput,
       "--unique: only 3 different numbers of --kind all can be drawn with --range 1..5 "
       "--exclude 2..3, fewer than --count 4"},
      {{"--range", "1..100", "--kind", "prime", "--unique", "--count", "26"},
       kExitBadInput,
       "--unique: only 25 different numbers of --kind prime can be drawn with --range 1..100, "
       "fewer than --count 26"},
      {{"--highest", "9", "--exclude", "1,,2", "--count", "1"},
       kExitBadInput,
       "invalid value '1,,2' for --exclude: an empty item in the list"},
      {{"--range", "1..9", "--secure", "--seed", "1", "--count", "1"},
       kExitBadInput,
       "options '--secure' and '--seed 1' cannot be used together: the system's generator takes "
       "no seed"},
      {{"--range", "1..9", "--count", "1", "--columns", "16385"},
       kExitBadInput,
       "invalid value '16385' for --columns: must be between 1 and 16384"},
      {{"--range", "1..9", "--count", "1", "--separator="},
       kExitBadInput,
       "invalid value '' for --separator: empty text"},
      {{"--range", "1..9", "--count", "2097153", "--columns", "2", "--spreadsheet"},
       kExitBadInput,
       "--count 2097153 is more than a sheet's 1048576 rows of 2 columns hold"},
  };
  for (const auto& c : cases) {
    const CliResult result = RunWith(c.arguments);
    EXPECT_EQ(result.status, c.status) << c.out_or_message;
    EXPECT_EQ(
        c.status == kExitSuccess ? result.out : result.err,
        c.status == kExitSuccess ? c.out_or_message : "tallowby-cli: " + c.out_or_message + "\n");
  }
  // The system's generator: nothing to pin, but every face of the die comes up.
  const CliResult secure = RunWith({"--secure", "--range", "1..6", "--count", "600", "--lf"});
  EXPECT_EQ(secure.status, kExitSuccess);
  std::map<std::string, int> faces;
  std::istringstream lines(secure.out);
  for (std::string line; std::getline(lines, line);)
    ++faces[line];
  EXPECT_EQ(faces.size(), 6U) << secure.out;
  // Rows of a spreadsheet, the last one shorter.
  Grid sheet;
  ASSERT_EQ(RunWith({"--range", "1..5", "--count", "5", "--unique", "--sort", "--columns", "2",
                     "--spreadsheet"},
                    &sheet)
                .status,
            kExitSuccess);
  EXPECT_EQ(sheet, (Grid{{{1, 1}, 1}, {{1, 2}, 2}, {{2, 1}, 3}, {{2, 2}, 4}, {{3, 1}, 5}}));
}

}  // namespace
}  // namespace tallowby::cli
