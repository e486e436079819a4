#include "core/run/generation_run.h"

#include <algorithm>
#include <charconv>
#include <limits>

#include "core/numbers/numeric_text.h"
#include "core/ports/failure.h"
#include "core/run/error_report_text.h"
#include "core/run/results_path.h"

namespace tallowby {

namespace {

namespace line = start_generating_line;

constexpr const char* kSubscriptOutOfRange = "Subscript out of range";

// The line each kind's draw is reported with.
int DrawLine(NumberKind kind) {
  switch (kind) {
    case NumberKind::AllNumbers:
      return line::kDrawAllNumbers;
    case NumberKind::Even:
      return line::kDrawEven;
    case NumberKind::Odd:
      return line::kDrawOdd;
    case NumberKind::PrimeOnly:
      return line::kDrawPrime;
  }
  return line::kDrawAllNumbers;
}

bool IsOutputLine(int step) {
  return step >= line::kTakeFolder && step <= line::kShowSpreadsheet;
}

}  // namespace

std::string CompletionMessage(std::string_view results_path) {
  std::string text = "Done.\r\r";
  text.append(results_path).append("\r\n\r\nwas created.");
  return text;
}

std::string ImpossibleKindMessage(NumberKind kind, std::int32_t highest) {
  std::string text = "No number of the kind \"";
  text.append(NumberKindCaption(kind))
      .append("\" can be drawn when the highest possible number is ")
      .append(std::to_string(highest))
      .append(". Please choose another kind or another highest possible number.");
  return text;
}

// Reports for the run, noting whether the output failed: a failed output is never followed by
// the message that claims the file or workbook was created.
class GenerationRun::Reporter final : public ErrorReporter {
 public:
  explicit Reporter(GenerationRun& run) : run_(run) {}
  void ReportError(const std::string& description, std::string_view identity, int line) override {
    if (IsOutputLine(line)) run_.output_failed_ = true;
    run_.host_.ReportError(description, identity, line);
  }

 private:
  GenerationRun& run_;
};

GenerationRun::GenerationRun(GenerationHost& host, UniformSource& random, FileSystem& files,
                             SpreadsheetLauncher* spreadsheet)
    : host_(host),
      random_(random),
      files_(files),
      spreadsheet_(spreadsheet),
      clock_(SecondsSinceMidnight),
      memory_limit_(files.PhysicalMemoryBytes()) {}

void GenerationRun::Report(const std::string& description, int line) {
  Reporter(*this).ReportError(description, kPushButton6ClickIdentity, line);
}

void GenerationRun::StartGenerating() {
  if (running_) return;
  running_ = true;
  output_failed_ = false;
  results_path_.clear();
  separator_ = host_.DecimalSeparator();
  struct EndOfRun {
    GenerationRun& run;
    ~EndOfRun() {
      run.spreadsheet_application_.reset();  // the run's reference; a shown workbook stays open
      ResultsText().swap(run.results_text_);
      run.running_ = false;
    }
  } end_of_run{*this};

  const GuardedStep steps[] = {
      {line::kCheckFieldsNumeric,
       [&] { return FieldsAreNumeric() ? line::kCheckFolderExists : line::kShowMustInputNumber; },
       line::kCheckFolderExists},
      {line::kCheckFolderExists,
       [&] {
         return files_.FolderExists(host_.FolderText()) ? line::kShowBusyPointer
                                                        : line::kShowFolderMissing;
       },
       line::kShowBusyPointer},
      {line::kShowBusyPointer,
       [&] {
         host_.SetPointer(PointerSetting::Busy);
         return line::kClearResults;
       },
       line::kClearResults},
      {line::kClearResults,
       [&] {
         results_text_.clear();
         return line::kSeedRandomSource;
       },
       line::kSeedRandomSource},
      {line::kSeedRandomSource,
       [&] {
         random_.SeedFromClock(clock_());
         return line::kConvertCount;
       },
       line::kConvertCount},
      // Without a valid count the loop has no bound: the run ends, and nothing is written.
      {line::kConvertCount, [&] { return ConvertCount(); }, line::kEnd},
      {line::kDrawNumbers, [&] { return DrawNumbers(); }, line::kChooseTextFile},
      {line::kChooseTextFile,
       [&] {
         return host_.SelectedOutput() == OutputKind::TextFile ? line::kTakeFolder
                                                               : line::kChooseSpreadsheet;
       },
       line::kTakeFolder},
      {line::kTakeFolder,
       [&] {
         results_path_ = host_.FolderText();
         return line::kMakeResultsPath;
       },
       line::kMakeResultsPath},
      {line::kMakeResultsPath,
       [&] {
         results_path_ = ResultsPath(results_path_);
         return line::kLetPendingEventsRun;
       },
       line::kLetPendingEventsRun},
      {line::kLetPendingEventsRun,
       [&] {
         LetPendingEventsRun();
         return line::kWriteResultsFile;
       },
       line::kWriteResultsFile},
      {line::kWriteResultsFile,
       [&] {
         files_.ReplaceFileAtomically(results_path_, results_text_);
         return line::kRestorePointer;
       },
       line::kRestorePointer},
      {line::kChooseSpreadsheet,
       [&] {
         return host_.SelectedOutput() == OutputKind::ExcelFile ? line::kStartSpreadsheet
                                                                : line::kRestorePointer;
       },
       line::kStartSpreadsheet},
      // The spreadsheet output stops at its first failure: one report, not one per row.
      {line::kStartSpreadsheet,
       [&] {
         if (spreadsheet_ == nullptr) {
           throw Failure(
               "The spreadsheet application cannot be started: no spreadsheet support is "
               "installed.");
         }
         spreadsheet_application_ = spreadsheet_->StartHidden();
         return line::kAddWorkbook;
       },
       line::kRestorePointer},
      {line::kAddWorkbook,
       [&] {
         spreadsheet_application_->AddWorkbook();
         return line::kWriteRows;
       },
       line::kRestorePointer},
      {line::kWriteRows,
       [&] {
         WriteSpreadsheetRows();
         return line::kShowSpreadsheet;
       },
       line::kRestorePointer},
      {line::kShowSpreadsheet,
       [&] {
         spreadsheet_application_->MakeVisible();
         return line::kRestorePointer;
       },
       line::kRestorePointer},
      {line::kRestorePointer,
       [&] {
         host_.SetPointer(PointerSetting::Default);
         return line::kResetProgressBar;
       },
       line::kResetProgressBar},
      {line::kResetProgressBar,
       [&] {
         host_.SetProgressValue(0);
         return kNextStep;
       },
       kNextStep},
      {line::kResetProgressBar,
       [&] {
         host_.SetProgressText(std::string(kProgressBarText));
         return line::kShowDone;
       },
       line::kShowDone},
      {line::kShowDone,
       [&] {
         if (!output_failed_) host_.ShowMessage(CompletionMessage(results_path_));
         return line::kEnd;
       },
       line::kEnd},
      {line::kShowFolderMissing,
       [&] {
         host_.ShowMessage(std::string(kFolderDoesNotExist));
         return line::kEnd;
       },
       line::kEnd},
      {line::kShowMustInputNumber,
       [&] {
         host_.ShowMessage(std::string(kMustInputNumber));
         return line::kEnd;
       },
       line::kEnd},
      {line::kEnd,
       [&] {
         host_.SetPointer(PointerSetting::Default);
         return kEndOfHandler;
       },
       kEndOfHandler},
  };
  Reporter reporter(*this);
  RunGuardedSteps(steps, kPushButton6ClickIdentity, reporter);
}

bool GenerationRun::FieldsAreNumeric() {
  // Both are tested every time, as the user may have to mend both.
  const bool count_is_numeric = IsNumeric(host_.CountText(), separator_);
  const bool highest_is_numeric = IsNumeric(host_.HighestText(), separator_);
  return count_is_numeric && highest_is_numeric;
}

int GenerationRun::ConvertCount() {
  count_ = ToInt32(host_.CountText(), separator_);
  return count_ >= 1 ? line::kDrawNumbers : line::kChooseTextFile;
}

int GenerationRun::DrawNumbers() {
  const std::optional<NumberKind> kind = host_.SelectedKind();
  if (kind) {
    const int draw_line = DrawLine(*kind);
    std::int32_t highest = 0;
    try {
      // The field cannot change while the loop runs, so one conversion serves every number; a
      // failure would repeat identically for each of them and is reported once.
      highest = ToInt32(host_.HighestText(), separator_);
      if (!CanDrawKind(*kind, highest)) {
        host_.ShowMessage(ImpossibleKindMessage(*kind, highest));
        return line::kEnd;
      }
      ReserveResults(highest);
    } catch (...) {
      Report(DescribeCurrentException(), draw_line);
      return line::kEnd;
    }
    // The process-wide generator is drawn from directly, without a virtual call per number.
    if (auto* fast = dynamic_cast<RandomSource*>(&random_)) {
      DrawInto(*fast, *kind, highest, draw_line);
    } else {
      DrawInto(random_, *kind, highest, draw_line);
    }
  }
  // The counter runs past the last number once more, which the top of the 32-bit range does not
  // hold; the numbers drawn still go to the output.
  if (count_ == std::numeric_limits<std::int32_t>::max()) Report(kOverflow, line::kCountPastTheTop);
  return line::kChooseTextFile;
}

template <class Source>
void GenerationRun::DrawInto(Source& source, NumberKind kind, std::int32_t highest, int draw_line) {
  for (std::int32_t i = 0; i < count_; ++i) {
    try {
      AppendNumberLine(results_text_, DrawNumberOfKind(source, kind, highest));
    } catch (...) {
      Report(DescribeCurrentException(), draw_line);  // that number is left out
    }
  }
}

void GenerationRun::ReserveResults(std::int32_t highest) {
  const std::int64_t top = std::int64_t{highest} + 1;
  const std::uint64_t line_length =
      MaxLineLength(std::min<std::int64_t>(top, 1), std::max<std::int64_t>(top, 1));
  const std::uint64_t needed = line_length * static_cast<std::uint64_t>(count_);
  if (memory_limit_ != 0 && needed > memory_limit_) throw Failure(kOutOfMemory);
  results_text_.reserve(needed);  // std::bad_alloc is reported as "Out of memory"
}

void GenerationRun::LetPendingEventsRun() {
  // Pending input runs here, once, as it always has. The old results.txt itself stays until
  // the new one replaces it in one step, so a failed write never loses it.
  host_.ProcessEventsOnce();
}

void GenerationRun::WriteSpreadsheetRows() {
  const std::int32_t count = ToInt32(host_.CountText(), separator_);
  if (count > kSheetRowLimit) {
    throw Failure("Too many numbers for one sheet: a sheet holds at most 1,048,576 rows.");
  }
  if (count < 1) return;
  std::vector<std::int32_t> rows = ResultsRows(results_text_);
  // The rows come from the results text split at every CR LF, which ends in one empty piece: a
  // row past the numbers stays empty, and the row after that has no text at all.
  const auto available = static_cast<std::int64_t>(rows.size());
  const bool runs_out = available == 0 ? true : count >= available + 2;
  if (count < available) rows.resize(static_cast<std::size_t>(count));
  spreadsheet_application_->WriteFirstColumn(rows);
  if (runs_out) throw Failure(kSubscriptOutOfRange);
}

}  // namespace tallowby
