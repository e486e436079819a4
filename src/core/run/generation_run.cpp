#include "core/run/generation_run.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <type_traits>

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
      memory_limit_(files.PhysicalMemoryBytes()),
      progress_([this](int value) {
        host_.SetProgressValue(value);
        host_.LetWindowRepaint();
      }) {}

void GenerationRun::Report(const std::string& description, int line) {
  Reporter(*this).ReportError(description, kPushButton6ClickIdentity, line);
}

void GenerationRun::StartGenerating() {
  if (running_) return;
  running_ = true;
  output_failed_ = false;
  stop_requested_ = false;
  results_path_.clear();
  separator_ = host_.DecimalSeparator();
  struct EndOfRun {
    GenerationRun& run;
    ~EndOfRun() {
      run.spreadsheet_application_.reset();  // the run's reference; a shown workbook stays open
      run.replacement_.reset();              // not committed: the old results.txt stays
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
      {line::kLetPendingEventsRun, [&] { return LetPendingEventsRun(); }, line::kWriteResultsFile},
      {line::kWriteResultsFile, [&] { return WriteResultsFile(); }, line::kRestorePointer},
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
      {line::kWriteRows, [&] { return WriteSpreadsheetRows(); }, line::kRestorePointer},
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
  // The numbers are drawn, and for a spreadsheet then written row by row: each is half the work.
  const std::int64_t steps = host_.SelectedOutput() == OutputKind::ExcelFile ? 2 : 1;
  progress_.Start(steps * count_);
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
      if (host_.SelectedOutput() == OutputKind::ExcelFile) ReserveResults(highest);
    } catch (...) {
      Report(DescribeCurrentException(), draw_line);
      return line::kEnd;
    }
    // The text file is written while the numbers are drawn, into the temporary file that
    // replaces results.txt at the end: memory stays flat whatever the count. A write that fails
    // on the way is the write step's failure, and the run ends with the old file untouched.
    try {
      if (host_.SelectedOutput() == OutputKind::TextFile) {
        replacement_ = files_.BeginReplacement(ResultsPath(host_.FolderText()));
      }
      if (!DrawToOutput(*kind, highest, draw_line)) return StopHere();
    } catch (const Failure& failure) {
      replacement_.reset();
      Report(failure.Description(), line::kWriteResultsFile);
      return line::kRestorePointer;
    }
  }
  // The counter runs past the last number once more, which the top of the 32-bit range does not
  // hold; the numbers drawn still go to the output.
  if (count_ == std::numeric_limits<std::int32_t>::max()) Report(kOverflow, line::kCountPastTheTop);
  return line::kChooseTextFile;
}

namespace {

// Where the drawn numbers go: the text file, the text kept for the spreadsheet, or nowhere when
// no output is chosen.
struct FileLines {
  NumberLineBuffer& buffer;
  void Append(std::int32_t n) { buffer.Append(n); }
};
struct TextLines {
  ResultsText& text;
  void Append(std::int32_t n) { AppendNumberLine(text, n); }
};
struct NoLines {
  void Append(std::int32_t) {}
};

// How many numbers pass between two looks at the clock for the progress bar.
constexpr std::int32_t kProgressStride = 1 << 14;

// How many rows go to the spreadsheet in one call.
constexpr std::size_t kRowsPerBlock = std::size_t{1} << 16;

}  // namespace

bool GenerationRun::DrawToOutput(NumberKind kind, std::int32_t highest, int draw_line) {
  if (replacement_) {
    NumberLineBuffer buffer([this](std::string_view bytes) { replacement_->Write(bytes); });
    FileLines lines{buffer};
    if (!DrawKind(kind, highest, draw_line, lines)) return false;
    buffer.Flush();
    return true;
  }
  if (host_.SelectedOutput() == OutputKind::ExcelFile) {
    TextLines lines{results_text_};
    return DrawKind(kind, highest, draw_line, lines);
  }
  NoLines lines;
  return DrawKind(kind, highest, draw_line, lines);
}

template <class Sink>
bool GenerationRun::DrawKind(NumberKind kind, std::int32_t highest, int draw_line, Sink& sink) {
  // The kind is chosen once, outside the loop; the process-wide generator is drawn from
  // directly, without a virtual call per number.
  const auto draw_with = [&](auto& source) {
    using Source = std::remove_reference_t<decltype(source)>;
    switch (kind) {
      case NumberKind::AllNumbers:
        return DrawInto(
            source, [highest](Source& s) { return DrawAnyNumber(s, highest); }, draw_line, sink);
      case NumberKind::Even:
        return DrawInto(
            source, [highest](Source& s) { return DrawEvenNumber(s, highest); }, draw_line, sink);
      case NumberKind::Odd:
        return DrawInto(
            source, [highest](Source& s) { return DrawOddNumber(s, highest); }, draw_line, sink);
      case NumberKind::PrimeOnly:
        return DrawInto(
            source, [highest](Source& s) { return DrawPrimeNumber(s, highest); }, draw_line, sink);
    }
    return true;
  };
  if (auto* fast = dynamic_cast<RandomSource*>(&random_)) return draw_with(*fast);
  return draw_with(random_);
}

// False when the run was stopped for a closing window.
template <class Source, class Draw, class Sink>
bool GenerationRun::DrawInto(Source& source, Draw draw, int draw_line, Sink& sink) {
  for (std::int32_t i = 0; i < count_; ++i) {
    if (i % kProgressStride == kProgressStride - 1) {
      progress_.Advance(i);
      if (stop_requested_) return false;
    }
    std::int32_t n = 0;
    try {
      n = draw(source);
    } catch (...) {
      Report(DescribeCurrentException(), draw_line);  // that number is left out
      continue;
    }
    sink.Append(n);
  }
  return true;
}

void GenerationRun::ReserveResults(std::int32_t highest) {
  const std::int64_t top = std::int64_t{highest} + 1;
  const std::uint64_t line_length =
      MaxLineLength(std::min<std::int64_t>(top, 1), std::max<std::int64_t>(top, 1));
  const std::uint64_t needed = line_length * static_cast<std::uint64_t>(count_);
  if (memory_limit_ != 0 && needed > memory_limit_) throw Failure(kOutOfMemory);
  results_text_.reserve(needed);  // std::bad_alloc is reported as "Out of memory"
}

int GenerationRun::LetPendingEventsRun() {
  // Pending input runs here, once, as it always has. The old results.txt itself stays until
  // the new one replaces it in one step, so a failed write never loses it.
  host_.ProcessEventsOnce();
  return stop_requested_ ? StopHere() : line::kWriteResultsFile;
}

int GenerationRun::WriteResultsFile() {
  if (replacement_) {
    const std::unique_ptr<FileReplacement> replacement = std::move(replacement_);
    replacement->Commit();
  } else {
    // No number was drawn: the file is written empty.
    files_.ReplaceFileAtomically(results_path_, "");
  }
  return line::kRestorePointer;
}

int GenerationRun::StopHere() {
  // Nothing is written and nothing claims success; the pointer and the bar are reset as usual.
  replacement_.reset();
  output_failed_ = true;
  return line::kRestorePointer;
}

int GenerationRun::WriteSpreadsheetRows() {
  const std::int32_t count = ToInt32(host_.CountText(), separator_);
  if (count > kSheetRowLimit) {
    throw Failure("Too many numbers for one sheet: a sheet holds at most 1,048,576 rows.");
  }
  if (count < 1) return line::kShowSpreadsheet;
  std::vector<std::int32_t> rows = ResultsRows(results_text_);
  // The rows come from the results text split at every CR LF, which ends in one empty piece: a
  // row past the numbers stays empty, and the row after that has no text at all.
  const auto available = static_cast<std::int64_t>(rows.size());
  const bool runs_out = available == 0 ? true : count >= available + 2;
  if (count < available) rows.resize(static_cast<std::size_t>(count));
  // The rows go in blocks, so the bar follows them and a closing window stops them.
  const std::span<const std::int32_t> column(rows);
  for (std::size_t first = 0; first < column.size(); first += kRowsPerBlock) {
    const auto block = column.subspan(first, std::min(kRowsPerBlock, column.size() - first));
    spreadsheet_application_->WriteFirstColumn(block, static_cast<std::int64_t>(first) + 1);
    progress_.Advance(std::int64_t{count_} + static_cast<std::int64_t>(first + block.size()));
    if (stop_requested_) return StopHere();
  }
  if (runs_out) throw Failure(kSubscriptOutOfRange);
  return line::kShowSpreadsheet;
}

}  // namespace tallowby
