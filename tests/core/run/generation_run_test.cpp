#include "core/run/generation_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <system_error>

#include "core/ports/failure.h"
#include "core/run/results_path.h"
#include "support/native_platform.h"
#include "support/recording_view.h"
#include "support/scripted_source.h"
#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/file_size_limit.h"
#endif
#include "support/temporary_folder.h"

namespace tallowby {
namespace {

using testing::FileBytes;
using testing::RecordingView;
using testing::ScriptedSource;
using testing::TemporaryFolder;

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
  GenerationRunTest() { view.folder = folder.Path().string() + PathSeparator(kNativePathStyle); }

  // The run as the window hosts it.
  GenerationRun Run(UniformSource& source) { return GenerationRun(host, source, files, nullptr); }

  std::string ResultsFile() const { return (folder.Path() / "results.txt").string(); }
  std::string Done() const { return "message: " + CompletionMessage(ResultsFile()); }

  TemporaryFolder folder;
  testing::RecordedWindow window;
  RecordingView& view = window.view;
  RunHost& host = window.host;
  NativeFileSystem files;
  RandomSource random{5};
};

// The log without the bar's moves and the event pass, which depend on the machine's speed.
std::vector<std::string> WithoutBarMoves(std::vector<std::string> log) {
  std::erase_if(log, [](const std::string& line) {
    return line == "events" || (line.starts_with("progress ") && line != "progress 0" &&
                                !line.starts_with("progress text"));
  });
  return log;
}

const std::vector<std::string> kEndOfGoodRun = {"pointer 0", "progress 0",
                                                "progress text Progress Bar"};

TEST_F(GenerationRunTest, WritesTheDrawnNumbersAndSaysWhereTheyAre) {
  ScriptedSource scripted({0.2, 0.99, 0.6, 0.6, 0.0});  // 3, 11, 7, 7, 1 with H = 10
  scripted.SeedFromClock(0);
  GenerationRun run = Run(scripted);
  run.SetClock([] { return 43200.5F; });
  run.StartGenerating();

  EXPECT_EQ(FileBytes(ResultsFile()), "3\r\n11\r\n7\r\n7\r\n1\r\n");
  EXPECT_EQ(view.log,
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
    view.log.clear();
    view.count = c.count;
    view.highest = c.highest;
    view.folder = c.folder_exists ? folder.Path().string() : (folder.Path() / "missing").string();
    GenerationRun run = Run(random);
    run.StartGenerating();
    EXPECT_EQ(view.log,
              (std::vector<std::string>{std::string("message: ") + c.message, "pointer 0"}))
        << c.count << " / " << c.highest;
    EXPECT_TRUE(folder.Entries().empty());
  }
  // A file is not a folder.
  folder.Write("plain", "x");
  view.count = "5";
  view.highest = "10";
  view.folder = (folder.Path() / "plain").string();
  view.log.clear();
  Run(random).StartGenerating();
  EXPECT_EQ(view.log.front(), "message: Folder does not exist. Please select another folder.");
}

struct CountCase {
  const char* count;
  std::size_t lines;
};

TEST_F(GenerationRunTest, RoundsTheCountHalfToEvenAndWritesAnEmptyFileForNoNumbers) {
  const CountCase cases[] = {{"0", 0}, {"-3", 0}, {"2.5", 2}, {"3.5", 4}, {" 1e2 ", 100}};
  for (const auto& c : cases) {
    view.count = c.count;
    view.log.clear();
    Run(random).StartGenerating();
    EXPECT_EQ(Lines(FileBytes(ResultsFile())).size(), c.lines) << c.count;
    EXPECT_EQ(view.log.at(view.log.size() - 2), Done()) << c.count;
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
  view.count = "500";
  view.highest = "100";
  for (const auto& [kind, fits] : cases) {
    view.kind = kind;
    Run(random).StartGenerating();
    const auto lines = Lines(FileBytes(ResultsFile()));
    ASSERT_EQ(lines.size(), 500U);
    for (const auto& line : lines)
      ASSERT_TRUE(fits(std::stoi(line))) << line;
  }
  // No kind selected: the loop still runs, and appends nothing.
  view.kind.reset();
  Run(random).StartGenerating();
  EXPECT_EQ(FileBytes(ResultsFile()), "");
}

TEST_F(GenerationRunTest, RefusesAKindThatCanNeverBeDrawnBeforeDrawingAnything) {
  const struct {
    NumberKind kind;
    const char* caption;
    const char* highest;
  } cases[] = {{NumberKind::Even, "Even", "0"},
               {NumberKind::PrimeOnly, "Prime only", "0"},
               {NumberKind::PrimeOnly, "Prime only", "-1"},
               {NumberKind::PrimeOnly, "Prime only", "-2.4"}};
  for (const auto& [kind, caption, highest] : cases) {
    view.kind = kind;
    view.highest = highest;
    view.log.clear();
    ScriptedSource nothing({});
    Run(nothing).StartGenerating();
    ASSERT_EQ(view.log.size(), 3U);
    EXPECT_EQ(view.log[0], "pointer 11");
    EXPECT_EQ(view.log[1], "message: " + ImpossibleKindMessage(caption, std::stoi(highest)));
    EXPECT_EQ(view.log[2], "pointer 0");
    EXPECT_TRUE(folder.Entries().empty());
  }
  EXPECT_EQ(ImpossibleKindMessage("Even", 0),
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
    view.count = c.count;
    view.highest = c.highest;
    view.kind = c.kind;
    view.log.clear();
    Run(random).StartGenerating();
    EXPECT_EQ(view.log, (std::vector<std::string>{"pointer 11", c.report, "pointer 0"}));
    EXPECT_TRUE(folder.Entries().empty());
  }
}

TEST_F(GenerationRunTest, ReportsASpreadsheetRunThatWouldNotFitInMemoryAndWritesNothing) {
  view.count = "2000000000";
  view.kind = NumberKind::Odd;
  view.output = OutputKind::ExcelFile;
  GenerationRun run = Run(random);
  run.SetMemoryLimit(1U << 30);
  run.StartGenerating();
  EXPECT_EQ(view.log,
            (std::vector<std::string>{"pointer 11", "report 128: Out of memory", "pointer 0"}));
  EXPECT_TRUE(folder.Entries().empty());
}

TEST_F(GenerationRunTest, LeavesOutANumberWhoseDrawOverflowsAndGoesOn) {
  constexpr double kJustBelowOne = 1.0 - 0x1.0p-53;
  ScriptedSource scripted({0.5, kJustBelowOne, 0.25});
  view.count = "3";
  view.highest = "2147483647";
  Run(scripted).StartGenerating();
  EXPECT_EQ(FileBytes(ResultsFile()), "1073741825\r\n536870913\r\n");
  EXPECT_EQ(view.log.at(1), "report 120: Overflow");
  EXPECT_EQ(view.log.at(view.log.size() - 2), Done());
}

TEST_F(GenerationRunTest, AFailedWriteKeepsTheOldFileAndClaimsNoSuccess) {
  std::filesystem::create_directory(folder.Path() / "results.txt");  // cannot become a file
  std::string reason;  // the system's own words, which differ between systems
  try {
    files.ReplaceFileAtomically(ResultsFile(), "");
  } catch (const Failure& failure) {
    reason = failure.Description();
  }
  ASSERT_FALSE(reason.empty());
  Run(random).StartGenerating();
  // Found before a number is drawn, so the run ends without its pass of the events.
  EXPECT_EQ(view.log,
            (std::vector<std::string>{"pointer 11", "report 144: " + reason, "pointer 0",
                                      "progress 0", "progress text Progress Bar", "pointer 0"}));
  EXPECT_EQ(folder.Entries(), std::vector<std::string>{"results.txt"});
}

TEST_F(GenerationRunTest, ReplacesAReadOnlyResultsFile) {
  folder.Write("results.txt", "old\r\n");
  folder.MakeReadOnly("results.txt");
  Run(random).StartGenerating();
  EXPECT_EQ(Lines(FileBytes(ResultsFile())).size(), 5U);
  EXPECT_EQ(view.log.at(view.log.size() - 2), Done());
}

TEST_F(GenerationRunTest, IgnoresAPressThatArrivesDuringTheRun) {
  GenerationRun run = Run(random);
  int presses = 0;
  view.on_events = [&] {
    ++presses;
    EXPECT_TRUE(run.Running());
    run.StartGenerating();
  };
  run.StartGenerating();
  EXPECT_EQ(presses, 1);
  EXPECT_FALSE(run.Running());
  EXPECT_EQ(std::count(view.log.begin(), view.log.end(), Done()), 1);
  run.StartGenerating();  // and the next press after the run is a new run
  EXPECT_EQ(presses, 2);
}

TEST_F(GenerationRunTest, WithoutAnOutputChosenNothingIsWrittenAndThePathIsEmpty) {
  view.output.reset();
  Run(random).StartGenerating();
  EXPECT_EQ(view.log.at(view.log.size() - 2), "message: Done.\r\r\r\n\r\nwas created.");
  EXPECT_TRUE(folder.Entries().empty());
}

TEST_F(GenerationRunTest, ClosingTheWindowStopsTheRunWithNothingWrittenAndNothingShown) {
  const std::vector<std::string> stopped = {"pointer 11", "pointer 0", "progress 0",
                                            "progress text Progress Bar", "pointer 0"};
  // Closed while the bar moves, and in the one event pass before the file is replaced.
  for (bool during_draws : {true, false}) {
    folder.Write("results.txt", "old\r\n");
    view.log.clear();
    view.count = "200000";
    GenerationRun run = Run(random);
    run.SetProgressTiming(std::chrono::seconds(0), std::chrono::hours(1));
    (during_draws ? view.on_repaint : view.on_events) = [&] { run.StopForClosedWindow(); };
    run.StartGenerating();
    view.on_repaint = view.on_events = nullptr;
    // The bar's own moves and the event pass aside, the run ends as a failed output does.
    EXPECT_EQ(WithoutBarMoves(view.log), stopped) << during_draws;
    EXPECT_EQ(FileBytes(ResultsFile()), "old\r\n");
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"results.txt"});
  }
}

#ifndef _WIN32
TEST_F(GenerationRunTest, AWriteThatFailsHalfWayIsReportedOnceAndKeepsTheOldFile) {
  folder.Write("results.txt", "old\r\n");
  view.count = "1000000";  // about 6.9 MB of text against a limit of 1 MiB
  {
    testing::FileSizeLimit limit(1 << 20);
    Run(random).StartGenerating();
  }
  EXPECT_EQ(view.log,
            (std::vector<std::string>{"pointer 11", "report 144: File too large", "pointer 0",
                                      "progress 0", "progress text Progress Bar", "pointer 0"}));
  EXPECT_EQ(FileBytes(ResultsFile()), "old\r\n");
  EXPECT_EQ(folder.Entries(), std::vector<std::string>{"results.txt"});
}

// A FIFO as results.txt never holds the window: without a reader it is refused at once, and a
// reader that stops reading is waited for while the window repaints, until it is closed.
TEST_F(GenerationRunTest, AFifoThatTakesNothingNeverHoldsTheWindow) {
  const std::string fifo = ResultsFile();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  view.count = "1000000";
  Run(random).StartGenerating();
  EXPECT_EQ(view.log, (std::vector<std::string>{
                          "pointer 11", "report 144: Nothing is reading from the FIFO " + fifo,
                          "pointer 0", "progress 0", "progress text Progress Bar", "pointer 0"}));

  const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  view.log.clear();
  GenerationRun run = Run(random);
  int repaints = 0;
  view.on_repaint = [&] {
    if (++repaints == 5) run.StopForClosedWindow();
  };
  run.StartGenerating();
  view.on_repaint = nullptr;
  ::close(reader);
  EXPECT_EQ(repaints, 5);
  EXPECT_EQ(WithoutBarMoves(view.log),
            (std::vector<std::string>{"pointer 11", "pointer 0", "progress 0",
                                      "progress text Progress Bar", "pointer 0"}));
  EXPECT_TRUE(std::filesystem::is_fifo(fifo));
}
#endif

// The real file system, with a failure injected into the second write of the new file.
class FailingSecondWrite final : public FileSystem {
 public:
  explicit FailingSecondWrite(std::function<void()> fail) : fail_(std::move(fail)) {}
  bool FolderExists(const std::string& path) override { return real_.FolderExists(path); }
  bool FileExists(const std::string& path) override { return real_.FileExists(path); }
  bool IsListedNormalFile(const std::string& path) override {
    return real_.IsListedNormalFile(path);
  }
  std::uint64_t PhysicalMemoryBytes() override { return real_.PhysicalMemoryBytes(); }
  std::unique_ptr<FileReplacement> BeginReplacement(const std::string& path,
                                                    const KeepWaiting& keep_waiting) override {
    struct Failing final : FileReplacement {
      std::unique_ptr<FileReplacement> real;
      std::function<void()>& fail;
      int writes = 0;
      Failing(std::unique_ptr<FileReplacement> r, std::function<void()>& f)
          : real(std::move(r)), fail(f) {}
      void Write(std::string_view bytes) override {
        if (++writes == 2) fail();
        real->Write(bytes);
      }
      void Commit() override { real->Commit(); }
    };
    return std::make_unique<Failing>(real_.BeginReplacement(path, keep_waiting), fail_);
  }

 private:
  NativeFileSystem real_;
  std::function<void()> fail_;
};

// Whatever fails while the numbers are written, of whatever type, is one report at 144: the
// temporary file goes, the old results.txt stays, and nothing claims success.
TEST_F(GenerationRunTest, AnyFailureWhileWritingIsOneReportAndKeepsTheOldFile) {
  // The system's words for a thread that cannot start differ between systems.
  std::string no_thread = std::make_error_code(std::errc::resource_unavailable_try_again).message();
  no_thread[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(no_thread[0])));
  const std::pair<std::function<void()>, std::string> failures[] = {
      {[] { throw Failure("No space left on device"); }, "No space left on device"},
      {[] { throw std::bad_alloc(); }, "Out of memory"},
      {[] {
         throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
       },
       no_thread},
  };
  for (const auto& [fail, description] : failures) {
    folder.Write("results.txt", "old\r\n");
    view.log.clear();
    view.count = "2000000";  // more than one buffer of text
    FailingSecondWrite failing(fail);
    GenerationRun(host, random, failing, nullptr).StartGenerating();
    EXPECT_EQ(WithoutBarMoves(view.log),
              (std::vector<std::string>{"pointer 11", "report 144: " + description, "pointer 0",
                                        "progress 0", "progress text Progress Bar", "pointer 0"}));
    EXPECT_EQ(FileBytes(ResultsFile()), "old\r\n");
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"results.txt"});
  }
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
  void WriteFirstColumn(std::span<const std::int32_t> values, std::int64_t first_row) override {
    std::string call = first_row == 1 ? "write" : "write from " + std::to_string(first_row) + ":";
    for (std::int32_t v : values)
      call.append(" ").append(std::to_string(v));
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
       {"start", "add workbook", "release"},  // no rows, so nothing to write
       "report 156: Subscript out of range"},
  };
  for (const auto& c : cases) {
    SpreadsheetScript script{{}, c.fail_at};
    RecordingLauncher launcher(script);
    view.count = c.count;
    view.kind = c.kind;
    view.output = OutputKind::ExcelFile;
    view.log.clear();
    std::vector<double> values(1048577, 0.5);
    const double first[] = {0.2, 0.99, 0.6, 0.6, 0.0};
    std::copy(std::begin(first), std::end(first), values.begin());
    ScriptedSource scripted(values);
    GenerationRun(host, scripted, files, &launcher).StartGenerating();
    EXPECT_EQ(script.calls, c.calls) << c.count << " " << c.fail_at;
    std::vector<std::string> expected_log = {"pointer 11"};
    if (*c.report != '\0') expected_log.push_back(c.report);
    expected_log.insert(expected_log.end(), kEndOfGoodRun.begin(), kEndOfGoodRun.end());
    if (*c.report == '\0') expected_log.push_back("message: Done.\r\r\r\n\r\nwas created.");
    expected_log.push_back("pointer 0");
    EXPECT_EQ(WithoutBarMoves(view.log), expected_log) << c.count << " " << c.fail_at;
    EXPECT_TRUE(folder.Entries().empty());
  }
}

TEST_F(GenerationRunTest, TheBarFollowsTheNumbersAndTheRowsAndIsResetAfterTheRun) {
  for (OutputKind output : {OutputKind::TextFile, OutputKind::ExcelFile}) {
    view.log.clear();
    view.count = "200000";
    view.output = output;
    SpreadsheetScript script;
    RecordingLauncher launcher(script);
    GenerationRun run(host, random, files, &launcher);
    run.SetProgressTiming(std::chrono::seconds(0), std::chrono::seconds(0));
    run.StartGenerating();
    std::vector<int> values;
    for (const std::string& line : view.log) {
      if (line.starts_with("progress ") && !line.starts_with("progress text")) {
        values.push_back(std::stoi(line.substr(9)));
      }
    }
    ASSERT_GE(values.size(), 10U);
    EXPECT_EQ(values.back(), 0);
    values.pop_back();
    EXPECT_TRUE(std::is_sorted(values.begin(), values.end()));
    EXPECT_GT(values.back(), 90);
    EXPECT_EQ(view.log.end()[-3], "progress text Progress Bar");
    EXPECT_TRUE(view.log.end()[-2].starts_with("message: Done."));
    if (output == OutputKind::TextFile) {
      EXPECT_EQ(Lines(FileBytes(ResultsFile())).size(), 200000U);
    } else {
      // The rows went in several calls, each going on where the last ended.
      EXPECT_TRUE(std::any_of(script.calls.begin(), script.calls.end(), [](const auto& call) {
        return call.starts_with("write from 65537:");
      }));
    }
  }
}

}  // namespace
}  // namespace tallowby
