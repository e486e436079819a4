// The backend against real, headless offices.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include "calc/calc_installation.h"
#include "calc/calc_launcher.h"
#include "calc/office_connection.h"
#include "calc/office_fixture.h"
#include "calc/office_process.h"
#include "core/numbers/random_source.h"
#include "core/ports/failure.h"
#include "core/run/generation_run.h"
#include "platform/posix/native_file_system.h"
#include "support/recording_view.h"

namespace tallowby::calc::testing {
namespace {

using std::chrono::seconds;
using std::chrono::steady_clock;

using CalcOfficeTest = OfficeTest;
using tallowby::testing::RecordedWindow;

const std::vector<std::int32_t> kFiveNumbers = {3, 11, 7, 7, 1};

// An observation (see tallowby_calc_observe) made from another process, for looking at the
// office while an application of this process is connected to it.
std::string ObserveElsewhere(const std::string& pipe, const std::string& command) {
  std::string output = OutputOf(std::string(TALLOWBY_CALC_OBSERVE) + " " + pipe + " " + command);
  if (!output.empty() && output.back() == '\n') output.pop_back();
  return output;
}

void ExpectFailure(const std::function<void()>& action, const std::string& description) {
  try {
    action();
    ADD_FAILURE() << "no Failure; expected: " << description;
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.Description(), description);
  }
}

// Different values on every row, negative ones among them, so that a row written to the wrong
// place shows.
std::vector<std::int32_t> FullSheet() {
  std::vector<std::int32_t> values(static_cast<std::size_t>(kSheetRowLimit));
  for (std::size_t i = 0; i < values.size(); ++i) {
    values[i] =
        static_cast<std::int32_t>((i * 2'654'435'761ULL) % 2'000'000'001ULL) - 1'000'000'000;
  }
  return values;
}

struct ColumnCase {
  const char* name;
  std::vector<std::int32_t> values;
  std::vector<std::string> number_ranges;  // what the sheet holds afterwards
  std::vector<int> rows;                   // rows read back
  std::size_t split = 0;                   // written in two calls, the second from this index
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const ColumnCase& value, std::ostream* out) {
  *out << value.name;
}

class WriteColumnTest : public OfficeTest, public ::testing::WithParamInterface<ColumnCase> {};

TEST_P(WriteColumnTest, FillsColumnAWithNumbersThatStayAfterTheRun) {
  const ColumnCase& column = GetParam();
  {
    auto application = CreateCalcLauncher(Options())->StartHidden();
    application->AddWorkbook();
    const std::span<const std::int32_t> values(column.values);
    application->WriteFirstColumn(values.first(column.split), 1);
    application->WriteFirstColumn(values.subspan(column.split),
                                  static_cast<std::int64_t>(column.split) + 1);
    application->MakeVisible();
  }
  // The run's reference is gone; the workbook stays open for the user, holding numbers only.
  Observer observer(Pipe());
  ASSERT_EQ(observer.SpreadsheetCount(), 1);
  EXPECT_EQ(observer.NumberRanges(0), column.number_ranges);
  EXPECT_EQ(observer.OtherRanges(0), std::vector<std::string>{});
  std::vector<double> expected;
  for (const int row : column.rows)
    expected.push_back(column.values[row - 1]);
  EXPECT_EQ(observer.ColumnA(0, column.rows), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Columns, WriteColumnTest,
    ::testing::Values(ColumnCase{"FiveNumbers", kFiveNumbers, {"A1:A5"}, {1, 2, 3, 4, 5}},
                      ColumnCase{"InTwoCalls", kFiveNumbers, {"A1:A5"}, {1, 2, 3, 4, 5}, 3},
                      // Zero is a number too, not an empty cell.
                      ColumnCase{"Extremes",
                                 {std::numeric_limits<std::int32_t>::min(), -1, 0,
                                  std::numeric_limits<std::int32_t>::max()},
                                 {"A1:A4"},
                                 {1, 2, 3, 4}},
                      ColumnCase{"NoNumbers", {}, {}, {}},
                      // Every row of the sheet, across all the calls the rows are split into.
                      ColumnCase{
                          "FullSheet",
                          FullSheet(),
                          {"A1:A1048576"},
                          {1, kRowsPerCall, kRowsPerCall + 1, 524'288, 1'048'575, 1'048'576}}),
    [](const ::testing::TestParamInfo<ColumnCase>& info) { return info.param.name; });

TEST_F(CalcOfficeTest, EndingBeforeShowingClosesTheWorkbookAndTheOfficeItStarted) {
  auto application = CreateCalcLauncher(Options())->StartHidden();
  application->AddWorkbook();
  application->WriteFirstColumn(kFiveNumbers, 1);
  ASSERT_FALSE(OfficeProcesses().empty());
  application.reset();
  EXPECT_TRUE(WaitUntilNoOffice(seconds(15)));
}

TEST_F(CalcOfficeTest, EndingBeforeShowingKeepsAnOfficeThatHasOtherDocumentsOpen) {
  auto application = CreateCalcLauncher(Options())->StartHidden();
  ObserveElsewhere(Pipe(), "open");  // something the user opened meanwhile
  application->AddWorkbook();
  application->WriteFirstColumn(kFiveNumbers, 1);
  application.reset();
  Observer observer(Pipe());
  ASSERT_EQ(observer.SpreadsheetCount(), 1);
  EXPECT_EQ(observer.NumberRanges(0), std::vector<std::string>{});  // the user's, not ours
}

TEST_F(CalcOfficeTest, WorksInTheOfficeTheUserRunsAndNeverEndsIt) {
  // The user's office: same profile, no documents, and its own pipe for us to look through.
  const std::string soffice = InspectCalcInstallation("").soffice;
  const std::string users_pipe = Pipe() + "_user";
  const auto users_office = OfficeProcess::Start(
      soffice, OfficeCommandLine(soffice, users_pipe, Options().extra_arguments), {});
  Observer{users_pipe};  // waits until it is up

  auto application = CreateCalcLauncher(Options())->StartHidden();
  application->AddWorkbook();
  application->WriteFirstColumn(kFiveNumbers, 1);
  ASSERT_EQ(ObserveElsewhere(users_pipe, "count"), "1");
  EXPECT_EQ(ObserveElsewhere(users_pipe, "ranges 0"), "A1:A5");
  application.reset();

  EXPECT_EQ(Observer(users_pipe).SpreadsheetCount(), 0);
  EXPECT_FALSE(users_office->WaitForExit(seconds(3)));
}

TEST_F(CalcOfficeTest, ASecondRunUsesTheOfficeTheFirstLeftOpen) {
  CalcOptions options = Options();
  for (const char* pipe_suffix : {"", "_second"}) {
    options.pipe_name = Pipe() + pipe_suffix;
    auto application = CreateCalcLauncher(options)->StartHidden();
    application->AddWorkbook();
    application->WriteFirstColumn(kFiveNumbers, 1);
    application->MakeVisible();
  }
  Observer observer(Pipe());
  ASSERT_EQ(observer.SpreadsheetCount(), 2);
  EXPECT_EQ(observer.NumberRanges(1), std::vector<std::string>{"A1:A5"});
}

TEST_F(CalcOfficeTest, AnOfficeKilledDuringTheRunFailsQuicklyWithoutHanging) {
  const auto start = steady_clock::now();
  auto application = CreateCalcLauncher(Options())->StartHidden();
  application->AddWorkbook();
  SignalOffices(SIGKILL);
  const auto killed = steady_clock::now();
  ExpectFailure([&] { application->WriteFirstColumn(FullSheet(), 1); }, kConnectionLost);
  ExpectFailure([&] { application->MakeVisible(); }, kConnectionLost);
  application.reset();
  EXPECT_LT(steady_clock::now() - killed, seconds(5));
  EXPECT_LT(steady_clock::now() - start, seconds(60));
}

TEST_F(CalcOfficeTest, AnOfficeThatStopsAnsweringIsCutOffAndEnded) {
  CalcOptions options = Options();
  options.call_timeout = seconds(2);
  auto application = CreateCalcLauncher(options)->StartHidden();
  application->AddWorkbook();
  SignalOffices(SIGSTOP);
  const auto stopped = steady_clock::now();
  ExpectFailure([&] { application->WriteFirstColumn(kFiveNumbers, 1); }, kStoppedAnswering);
  EXPECT_LT(steady_clock::now() - stopped, seconds(10));
  application.reset();  // the hung office is ours and hidden: it must not stay
  EXPECT_TRUE(WaitUntilNoOffice(seconds(10)));
  EXPECT_LT(steady_clock::now() - stopped, seconds(20));
}

// The generation run with this backend: what the user sees when all goes well, and when the
// office dies halfway.
// The window of a run into Calc: 5 numbers up to 100, "Excel File".
struct CalcRunWindow : RecordedWindow {
  explicit CalcRunWindow(std::string folder) {
    view.highest = "100";
    view.output = OutputKind::ExcelFile;
    view.folder = std::move(folder);
  }
  // What the user was shown, plain messages and reports alike.
  std::vector<std::string> Shown() const {
    std::vector<std::string> shown;
    for (const std::string& line : view.log) {
      if (line.starts_with("message: ") || line.starts_with("report ")) shown.push_back(line);
    }
    return shown;
  }
};

// The real launcher, with something done to the office once the workbook is added.
class LauncherWithEvent final : public SpreadsheetLauncher {
 public:
  LauncherWithEvent(std::unique_ptr<SpreadsheetLauncher> launcher, std::function<void()> event)
      : launcher_(std::move(launcher)), event_(std::move(event)) {}
  bool IsPresent() override { return launcher_->IsPresent(); }
  std::unique_ptr<SpreadsheetApplication> StartHidden() override {
    class Application final : public SpreadsheetApplication {
     public:
      Application(std::unique_ptr<SpreadsheetApplication> real, std::function<void()> event)
          : real_(std::move(real)), event_(std::move(event)) {}
      void AddWorkbook() override {
        real_->AddWorkbook();
        event_();
      }
      void WriteFirstColumn(std::span<const std::int32_t> values, std::int64_t first_row) override {
        real_->WriteFirstColumn(values, first_row);
      }
      void MakeVisible() override { real_->MakeVisible(); }

     private:
      std::unique_ptr<SpreadsheetApplication> real_;
      std::function<void()> event_;
    };
    return std::make_unique<Application>(launcher_->StartHidden(), event_);
  }

 private:
  std::unique_ptr<SpreadsheetLauncher> launcher_;
  std::function<void()> event_;
};

TEST_F(CalcOfficeTest, RunShowsTheNumbersInCalcAndReportsDone) {
  CalcRunWindow window(Folder().string());
  RandomSource random(7);
  NativeFileSystem files;
  const auto launcher = CreateCalcLauncher(Options());
  GenerationRun run(window.host, random, files, launcher.get());
  run.StartGenerating();
  EXPECT_EQ(window.Shown(), std::vector<std::string>{"message: " + CompletionMessage("")});
  // The office outlives the program: it is in a session of its own, away from our terminal.
  for (const pid_t office : OfficeProcesses())
    EXPECT_NE(::getsid(office), ::getsid(0));
  Observer observer(Pipe());
  ASSERT_EQ(observer.SpreadsheetCount(), 1);
  EXPECT_EQ(observer.NumberRanges(0), std::vector<std::string>{"A1:A5"});
}

TEST_F(CalcOfficeTest, RunReportsAnOfficeThatDiesOnceAndClaimsNothing) {
  CalcRunWindow window(Folder().string());
  RandomSource random(7);
  NativeFileSystem files;
  LauncherWithEvent launcher(CreateCalcLauncher(Options()), [this] { SignalOffices(SIGKILL); });
  GenerationRun run(window.host, random, files, &launcher);
  run.StartGenerating();
  EXPECT_EQ(window.Shown(),
            std::vector<std::string>{"report 156: " + std::string(kConnectionLost)});
}

}  // namespace
}  // namespace tallowby::calc::testing
