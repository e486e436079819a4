#include "gen/generation_run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "gen/failure.h"
#include "support/scripted_source.h"
#include "support/temporary_folder.h"

namespace tallowby {
namespace {

using testing::ScriptedSource;
using testing::TemporaryFolder;

// Records everything the run shows and does, in order, as short lines.
class RecordingHost final : public GenerationHost {
 public:
  std::string count = "5";
  std::string highest = "10";
  std::string folder;
  std::optional<NumberKind> kind = NumberKind::AllNumbers;
  std::optional<OutputKind> output = OutputKind::TextFile;
  std::string separator = ".";
  std::function<void()> on_events;
  std::vector<std::string> log;

  std::string CountText() override { return count; }
  std::string HighestText() override { return highest; }
  std::string FolderText() override { return folder; }
  std::optional<NumberKind> SelectedKind() override { return kind; }
  std::optional<OutputKind> SelectedOutput() override { return output; }
  std::string DecimalSeparator() override { return separator; }
  void ShowMessage(const std::string& text) override { log.push_back("message: " + text); }
  void ReportError(const std::string& description, std::string_view identity, int line) override {
    EXPECT_EQ(identity, "in Orrindale2021/08/31.Form1.PushButton6_Click ");
    log.push_back("report " + std::to_string(line) + ": " + description);
  }
  void SetPointer(PointerSetting pointer) override {
    log.push_back("pointer " + std::to_string(static_cast<int>(pointer)));
  }
  void SetProgressValue(int value) override { log.push_back("progress " + std::to_string(value)); }
  void SetProgressText(const std::string& text) override { log.push_back("progress text " + text); }
  void ProcessEventsOnce() override {
    log.push_back("events");
    if (on_events) on_events();
  }
};

std::string Contents(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = text.find("\r\n", start);
    EXPECT_NE(end, std::string::npos) << "every line ends with CR LF";
    if (end == std::string::npos) break;
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

class GenerationRunTest : public ::testing::Test {
 protected:
  GenerationRunTest() { host.folder = folder.Path().string() + PathSeparator(kNativePathStyle); }

  std::string ResultsFile() const { return (folder.Path() / "results.txt").string(); }
  std::string Done() const { return "message: " + CompletionMessage(ResultsFile()); }

  TemporaryFolder folder;
  RecordingHost host;
  RandomSource random{5};
};

const std::vector<std::string> kEndOfGoodRun = {"pointer 0", "progress 0",
                                                "progress text Progress Bar"};

TEST_F(GenerationRunTest, WritesTheDrawnNumbersAndSaysWhereTheyAre) {
  ScriptedSource scripted({0.2, 0.99, 0.6, 0.6, 0.0});  // 3, 11, 7, 7, 1 with H = 10
  scripted.SeedFromClock(0);
  GenerationRun run(host, scripted, nullptr);
  run.SetClock([] { return 43200.5F; });
  run.PushButton6_Click();

  EXPECT_EQ(Contents(ResultsFile()), "3\r\n11\r\n7\r\n7\r\n1\r\n");
  EXPECT_EQ(host.log,
            (std::vector<std::string>{"pointer 11", "events", "pointer 0", "progress 0",
                                      "progress text Progress Bar", Done(), "pointer 0"}));
  EXPECT_EQ(Done(), "message: Done.\r\r" + ResultsFile() + "\r\n\r\nwas created.");
  EXPECT_EQ(scripted.Seeds(), 2);  // the run seeds once, from the clock
  EXPECT_EQ(scripted.LastSeedClock(), 43200.5F);
  EXPECT_EQ(folder.Entries(), std::vector<std::string>{"results.txt"});
}

struct Validation {
  const char* count;
  const char* highest;
  bool folder_exists;
  const char* message;
};

TEST_F(GenerationRunTest, ChecksTheNumbersBeforeTheFolderAndTouchesNoFile) {
  const Validation cases[] = {
      {"abc", "10", false, "Must input a number."},
      {"", "10", true, "Must input a number."},
      {"5", "ten", true, "Must input a number."},
      {"5", "", false, "Must input a number."},
      {"5", "10", false, "Folder does not exist. Please select another folder."},
  };
  for (const auto& c : cases) {
    host.log.clear();
    host.count = c.count;
    host.highest = c.highest;
    host.folder = c.folder_exists ? folder.Path().string() : (folder.Path() / "missing").string();
    GenerationRun run(host, random, nullptr);
    run.PushButton6_Click();
    EXPECT_EQ(host.log,
              (std::vector<std::string>{std::string("message: ") + c.message, "pointer 0"}))
        << c.count << " / " << c.highest;
    EXPECT_TRUE(folder.Entries().empty());
  }
  // A file is not a folder.
  folder.Write("plain", "x");
  host.count = "5";
  host.highest = "10";
  host.folder = (folder.Path() / "plain").string();
  host.log.clear();
  GenerationRun(host, random, nullptr).PushButton6_Click();
  EXPECT_EQ(host.log.front(), "message: Folder does not exist. Please select another folder.");
}

struct CountCase {
  const char* count;
  std::size_t lines;
};

TEST_F(GenerationRunTest, RoundsTheCountHalfToEvenAndWritesAnEmptyFileForNoNumbers) {
  const CountCase cases[] = {{"0", 0}, {"-3", 0}, {"2.5", 2}, {"3.5", 4}, {" 1e2 ", 100}};
  for (const auto& c : cases) {
    host.count = c.count;
    host.log.clear();
    GenerationRun(host, random, nullptr).PushButton6_Click();
    EXPECT_EQ(Lines(Contents(ResultsFile())).size(), c.lines) << c.count;
    EXPECT_EQ(host.log.at(host.log.size() - 2), Done()) << c.count;
  }
}

TEST_F(GenerationRunTest, DrawsOnlyNumbersOfTheChosenKind) {
  const std::pair<NumberKind, std::function<bool(int)>> cases[] = {
      {NumberKind::AllNumbers, [](int n) { return n >= 1 && n <= 101; }},
      {NumberKind::Even, [](int n) { return n % 2 == 0 && n >= 2 && n <= 100; }},
      {NumberKind::Odd, [](int n) { return n % 2 == 1 && n <= 101; }},
      {NumberKind::PrimeOnly,
       [](int n) {
         for (int d = 2; d * d <= n; ++d)
           if (n % d == 0) return false;
         return n >= 2 && n <= 101;
       }},
  };
  host.count = "500";
  host.highest = "100";
  for (const auto& [kind, fits] : cases) {
    host.kind = kind;
    GenerationRun(host, random, nullptr).PushButton6_Click();
    const auto lines = Lines(Contents(ResultsFile()));
    ASSERT_EQ(lines.size(), 500U);
    for (const auto& line : lines)
      ASSERT_TRUE(fits(std::stoi(line))) << line;
  }
  // No kind selected: the loop still runs, and appends nothing.
  host.kind.reset();
  GenerationRun(host, random, nullptr).PushButton6_Click();
  EXPECT_EQ(Contents(ResultsFile()), "");
}

TEST_F(GenerationRunTest, RefusesAKindThatCanNeverBeDrawnBeforeDrawingAnything) {
  const std::pair<NumberKind, const char*> cases[] = {{NumberKind::Even, "0"},
                                                      {NumberKind::PrimeOnly, "0"},
                                                      {NumberKind::PrimeOnly, "-1"},
                                                      {NumberKind::PrimeOnly, "-2.4"}};
  for (const auto& [kind, highest] : cases) {
    host.kind = kind;
    host.highest = highest;
    host.log.clear();
    ScriptedSource nothing({});
    GenerationRun(host, nothing, nullptr).PushButton6_Click();
    ASSERT_EQ(host.log.size(), 3U);
    EXPECT_EQ(host.log[0], "pointer 11");
    EXPECT_EQ(host.log[1], "message: " + ImpossibleKindMessage(kind, std::stoi(highest)));
    EXPECT_EQ(host.log[2], "pointer 0");
    EXPECT_TRUE(folder.Entries().empty());
  }
  EXPECT_EQ(ImpossibleKindMessage(NumberKind::Even, 0),
            "No number of the kind \"Even\" can be drawn when the highest possible number is 0. "
            "Please choose another kind or another highest possible number.");
}

struct FailedConversion {
  const char* count;
  const char* highest;
  NumberKind kind;
  const char* report;
};

TEST_F(GenerationRunTest, ReportsAnOutOfRangeFieldOnceAndWritesNothing) {
  const FailedConversion cases[] = {
      {"3e10", "10", NumberKind::AllNumbers, "report 116: Overflow"},
      {"5", "3e10", NumberKind::AllNumbers, "report 120: Overflow"},
      {"5", "-3e10", NumberKind::Even, "report 124: Overflow"},
      {"5", "2147483648", NumberKind::Odd, "report 128: Overflow"},
      {"5", "1e300", NumberKind::PrimeOnly, "report 132: Overflow"},
  };
  for (const auto& c : cases) {
    host.count = c.count;
    host.highest = c.highest;
    host.kind = c.kind;
    host.log.clear();
    GenerationRun(host, random, nullptr).PushButton6_Click();
    EXPECT_EQ(host.log, (std::vector<std::string>{"pointer 11", c.report, "pointer 0"}));
    EXPECT_TRUE(folder.Entries().empty());
  }
}

TEST_F(GenerationRunTest, ReportsARunThatWouldNotFitInMemoryAndWritesNothing) {
  host.count = "2000000000";
  host.kind = NumberKind::Odd;
  GenerationRun run(host, random, nullptr);
  run.SetMemoryLimit(1U << 30);
  run.PushButton6_Click();
  EXPECT_EQ(host.log,
            (std::vector<std::string>{"pointer 11", "report 128: Out of memory", "pointer 0"}));
  EXPECT_TRUE(folder.Entries().empty());
}

TEST_F(GenerationRunTest, LeavesOutANumberWhoseDrawOverflowsAndGoesOn) {
  constexpr double kJustBelowOne = 1.0 - 0x1.0p-53;
  ScriptedSource scripted({0.5, kJustBelowOne, 0.25});
  host.count = "3";
  host.highest = "2147483647";
  GenerationRun(host, scripted, nullptr).PushButton6_Click();
  EXPECT_EQ(Contents(ResultsFile()), "1073741825\r\n536870913\r\n");
  EXPECT_EQ(host.log.at(1), "report 120: Overflow");
  EXPECT_EQ(host.log.at(host.log.size() - 2), Done());
}

TEST_F(GenerationRunTest, AFailedWriteKeepsTheOldFileAndClaimsNoSuccess) {
  std::filesystem::create_directory(folder.Path() / "results.txt");  // cannot become a file
  std::string reason;  // the system's own words, which differ between systems
  try {
    WriteResultsFile("", ResultsFile());
  } catch (const Failure& failure) {
    reason = failure.Description();
  }
  ASSERT_FALSE(reason.empty());
  GenerationRun(host, random, nullptr).PushButton6_Click();
  EXPECT_EQ(host.log,
            (std::vector<std::string>{"pointer 11", "events", "report 144: " + reason, "pointer 0",
                                      "progress 0", "progress text Progress Bar", "pointer 0"}));
  EXPECT_EQ(folder.Entries(), std::vector<std::string>{"results.txt"});
}

TEST_F(GenerationRunTest, ReplacesAReadOnlyResultsFile) {
  folder.Write("results.txt", "old\r\n");
  folder.MakeReadOnly("results.txt");
  GenerationRun(host, random, nullptr).PushButton6_Click();
  EXPECT_EQ(Lines(Contents(ResultsFile())).size(), 5U);
  EXPECT_EQ(host.log.at(host.log.size() - 2), Done());
}

TEST_F(GenerationRunTest, IgnoresAPressThatArrivesDuringTheRun) {
  GenerationRun run(host, random, nullptr);
  int presses = 0;
  host.on_events = [&] {
    ++presses;
    EXPECT_TRUE(run.Running());
    run.PushButton6_Click();
  };
  run.PushButton6_Click();
  EXPECT_EQ(presses, 1);
  EXPECT_FALSE(run.Running());
  EXPECT_EQ(std::count(host.log.begin(), host.log.end(), Done()), 1);
  run.PushButton6_Click();  // and the next press after the run is a new run
  EXPECT_EQ(presses, 2);
}

TEST_F(GenerationRunTest, WithoutAnOutputChosenNothingIsWrittenAndThePathIsEmpty) {
  host.output.reset();
  GenerationRun(host, random, nullptr).PushButton6_Click();
  EXPECT_EQ(host.log.at(host.log.size() - 2), "message: Done.\r\r\r\n\r\nwas created.");
  EXPECT_TRUE(folder.Entries().empty());
}

// A spreadsheet that records the calls made to it and fails where the test says.
struct SpreadsheetScript {
  std::vector<std::string> calls;
  std::string fail_at;
};

class RecordingSpreadsheet final : public SpreadsheetApplication {
 public:
  explicit RecordingSpreadsheet(SpreadsheetScript& script) : script_(script) {}
  ~RecordingSpreadsheet() override { Call("release"); }
  void AddWorkbook() override { Call("add workbook"); }
  void WriteFirstColumn(std::span<const std::int32_t> values) override {
    std::string call = "write";
    for (std::int32_t v : values)
      call += " " + std::to_string(v);
    Call(call);
  }
  void MakeVisible() override { Call("visible"); }

 private:
  void Call(const std::string& call) {
    script_.calls.push_back(call);
    if (!script_.fail_at.empty() && call.starts_with(script_.fail_at)) throw Failure("Broken");
  }
  SpreadsheetScript& script_;
};

class RecordingLauncher final : public SpreadsheetLauncher {
 public:
  explicit RecordingLauncher(SpreadsheetScript& script) : script_(script) {}
  bool IsPresent() override { return true; }
  std::unique_ptr<SpreadsheetApplication> StartHidden() override {
    script_.calls.push_back("start");
    if (script_.fail_at == "start") throw Failure("LibreOffice could not be started");
    return std::make_unique<RecordingSpreadsheet>(script_);
  }

 private:
  SpreadsheetScript& script_;
};

struct SpreadsheetCase {
  const char* count;
  std::optional<NumberKind> kind;
  const char* fail_at;
  std::vector<std::string> calls;
  const char* report;  // empty: the run ends with "Done."
};

TEST_F(GenerationRunTest, FillsASpreadsheetAndStopsAtItsFirstFailure) {
  const std::string row_limit_report =
      "report 156: Too many numbers for one sheet: a sheet holds at most 1,048,576 rows.";
  const SpreadsheetCase cases[] = {
      {"5",
       NumberKind::AllNumbers,
       "",
       {"start", "add workbook", "write 3 11 7 7 1", "visible", "release"},
       ""},
      {"0", NumberKind::AllNumbers, "", {"start", "add workbook", "visible", "release"}, ""},
      {"5",
       NumberKind::AllNumbers,
       "start",
       {"start"},
       "report 148: LibreOffice could not be started"},
      {"5",
       NumberKind::AllNumbers,
       "add",
       {"start", "add workbook", "release"},
       "report 150: Broken"},
      {"5",
       NumberKind::AllNumbers,
       "write",
       {"start", "add workbook", "write 3 11 7 7 1", "release"},
       "report 156: Broken"},
      {"5",
       NumberKind::AllNumbers,
       "visible",
       {"start", "add workbook", "write 3 11 7 7 1", "visible", "release"},
       "report 160: Broken"},
      {"1048577",
       NumberKind::AllNumbers,
       "",
       {"start", "add workbook", "release"},
       row_limit_report.c_str()},
      {"3",
       std::nullopt,
       "",
       {"start", "add workbook", "write", "release"},
       "report 156: Subscript out of range"},
  };
  for (const auto& c : cases) {
    SpreadsheetScript script{{}, c.fail_at};
    RecordingLauncher launcher(script);
    host.count = c.count;
    host.kind = c.kind;
    host.output = OutputKind::ExcelFile;
    host.log.clear();
    std::vector<double> values(1048577, 0.5);
    const double first[] = {0.2, 0.99, 0.6, 0.6, 0.0};
    std::copy(std::begin(first), std::end(first), values.begin());
    ScriptedSource scripted(values);
    GenerationRun(host, scripted, &launcher).PushButton6_Click();
    EXPECT_EQ(script.calls, c.calls) << c.count << " " << c.fail_at;
    std::vector<std::string> expected_log = {"pointer 11"};
    if (*c.report != '\0') expected_log.push_back(c.report);
    expected_log.insert(expected_log.end(), kEndOfGoodRun.begin(), kEndOfGoodRun.end());
    if (*c.report == '\0') expected_log.push_back("message: Done.\r\r\r\n\r\nwas created.");
    expected_log.push_back("pointer 0");
    EXPECT_EQ(host.log, expected_log) << c.count << " " << c.fail_at;
    EXPECT_TRUE(folder.Entries().empty());
  }
}

TEST(ResultsRows, ReadsBackEveryLinesNumber) {
  EXPECT_EQ(ResultsRows("3\r\n-11\r\n2147483647\r\n"),
            (std::vector<std::int32_t>{3, -11, 2147483647}));
  EXPECT_TRUE(ResultsRows("").empty());
}

}  // namespace
}  // namespace tallowby
