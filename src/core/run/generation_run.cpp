#include "core/run/generation_run.h"

#include <algorithm>
#include <charconv>
#include <limits>

#include "core/numbers/draw_range.h"
#include "core/numbers/draw_request.h"
#include "core/numbers/numeric_text.h"
#include "core/ports/failure.h"
#include "core/run/error_report_text.h"
#include "core/run/results_path.h"
#include "core/run/spreadsheet_rows.h"

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

std::string ImpossibleKindMessage(std::string_view kind_caption, std::int32_t highest) {
  std::string text = "No number of the kind \"";
  text.append(kind_caption)
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
      // Two steps on one line, as the bar's value and its text were reset by one line of the
      // handler: a failure of the first is reported with 164 and the second still runs.
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
    DrawRequest request;
    request.kind = *kind;
    request.count = count_;
    request.source = DrawSource(random_);
    try {
      // The field cannot change while the loop runs, so one conversion serves every number; a
      // failure would repeat identically for each of them and is reported once.
      request.highest = ToInt32(host_.HighestText(), separator_);
      // The window's lists can be refused only for their kind.
      if (CheckRequest(request)) {
        host_.ShowMessage(ImpossibleKindMessage(host_.KindCaption(*kind), request.highest));
        return line::kEnd;
      }
      if (host_.SelectedOutput() == OutputKind::ExcelFile) ReserveResults(request.highest);
    } catch (...) {
      Report(DescribeCurrentException(), draw_line);
      return line::kEnd;
    }
    // The text file is written while the numbers are drawn, into the temporary file that
    // replaces results.txt at the end: memory stays flat whatever the count. Whatever fails on
    // the way (the disk, memory for the buffers, the thread that writes them) is the write
    // step's failure, and the run ends with the old file untouched; a failed draw never gets
    // here, as the loop reports it and leaves that number out.
    try {
      if (host_.SelectedOutput() == OutputKind::TextFile) {
        // A FIFO whose reader stops reading holds the run up without freezing the window: it
        // repaints, and closing it ends the run.
        replacement_ = files_.BeginReplacement(ResultsPath(host_.FolderText()), [this] {
          host_.LetWindowRepaint();
          return !stop_requested_;
        });
      }
      if (!DrawToOutput(request, draw_line)) return StopHere();
    } catch (...) {
      replacement_.reset();
      // A closed window gave up on an output that waited for its reader: nothing to report.
      if (!stop_requested_) Report(DescribeCurrentException(), line::kWriteResultsFile);
      return StopHere();
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

}  // namespace

// The draw loop's view of the run: the bar moves and a closing window stops it every few
// thousand numbers, and a failed draw is reported and that number left out.
template <class Lines>
struct GenerationRun::DrawTarget {
  GenerationRun& run;
  Lines lines;
  int draw_line;
  void Append(std::int32_t n) { lines.Append(n); }
  bool KeepGoing(std::int32_t drawn) {
    run.progress_.Advance(drawn);
    return !run.stop_requested_;
  }
  void DrawFailed() { run.Report(DescribeCurrentException(), draw_line); }
};

bool GenerationRun::DrawToOutput(const DrawRequest& request, int draw_line) {
  if (replacement_) {
    NumberLineBuffer buffer([this](std::string_view bytes) { replacement_->Write(bytes); });
    DrawTarget<FileLines> target{*this, {buffer}, draw_line};
    if (!DrawList(request, target)) return false;
    buffer.Flush();
    return true;
  }
  if (host_.SelectedOutput() == OutputKind::ExcelFile) {
    DrawTarget<TextLines> target{*this, {results_text_}, draw_line};
    return DrawList(request, target);
  }
  DrawTarget<NoLines> target{*this, {}, draw_line};
  return DrawList(request, target);
}

void GenerationRun::ReserveResults(std::int32_t highest) {
  const DrawRange range = PlainDrawRange(highest);
  const std::uint64_t line_length = MaxLineLength(range.low, range.high);
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
  // The row step reads the count from its field again rather than taking the loop's: the field
  // cannot have changed, but a count that now fails to convert is this step's own report, as it
  // always was.
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
  const bool written = WriteColumnInBlocks(*spreadsheet_application_, rows, [this](std::int64_t n) {
    progress_.Advance(std::int64_t{count_} + n);
    return !stop_requested_;
  });
  if (!written) return StopHere();
  if (runs_out) throw Failure(kSubscriptOutOfRange);
  return line::kShowSpreadsheet;
}

}  // namespace tallowby
