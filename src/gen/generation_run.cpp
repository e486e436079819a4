#include "gen/generation_run.h"

#include <algorithm>
#include <charconv>
#include <limits>

#include "app/error_report_text.h"
#include "gen/failure.h"
#include "gen/numeric_text.h"
#include "output/file_system.h"

namespace tallowby {

namespace {

constexpr const char* kSubscriptOutOfRange = "Subscript out of range";

// The line each kind's draw is reported with.
int DrawLine(NumberKind kind) {
  switch (kind) {
    case NumberKind::AllNumbers:
      return 120;
    case NumberKind::Even:
      return 124;
    case NumberKind::Odd:
      return 128;
    case NumberKind::PrimeOnly:
      return 132;
  }
  return 120;
}

bool IsOutputLine(int line) {
  return line >= 138 && line <= 160;
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

std::vector<std::int32_t> ResultsRows(std::string_view results_text) {
  std::vector<std::int32_t> rows;
  rows.reserve(
      static_cast<std::size_t>(std::count(results_text.begin(), results_text.end(), '\n')));
  while (!results_text.empty()) {
    std::int32_t value = 0;
    const auto [end, error] =
        std::from_chars(results_text.data(), results_text.data() + results_text.size(), value);
    if (error != std::errc{}) break;  // the run writes nothing but numbers; stop at anything else
    rows.push_back(value);
    results_text.remove_prefix(static_cast<std::size_t>(end - results_text.data()));
    if (!results_text.starts_with("\r\n")) break;
    results_text.remove_prefix(2);
  }
  return rows;
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

GenerationRun::GenerationRun(GenerationHost& host, UniformSource& random,
                             SpreadsheetLauncher* spreadsheet)
    : host_(host),
      random_(random),
      spreadsheet_(spreadsheet),
      clock_(SecondsSinceMidnight),
      memory_limit_(PhysicalMemoryBytes()) {}

void GenerationRun::Report(const std::string& description, int line) {
  Reporter(*this).ReportError(description, kPushButton6ClickIdentity, line);
}

void GenerationRun::PushButton6_Click() {
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
      {100, [&] { return FieldsAreNumeric() ? 102 : 176; }, 102},
      {102, [&] { return FolderExists(host_.FolderText()) ? 104 : 174; }, 104},
      {104,
       [&] {
         host_.SetPointer(PointerSetting::Busy);
         return 106;
       },
       106},
      {106,
       [&] {
         results_text_.clear();
         return 114;
       },
       114},
      {114,
       [&] {
         random_.SeedFromClock(clock_());
         return 116;
       },
       116},
      // Without a valid count the loop has no bound: the run ends, and nothing is written.
      {116, [&] { return ConvertCount(); }, 178},
      {118, [&] { return DrawNumbers(); }, 136},
      {136, [&] { return host_.SelectedOutput() == OutputKind::TextFile ? 138 : 146; }, 138},
      {138,
       [&] {
         results_path_ = host_.FolderText();
         return 140;
       },
       140},
      {140,
       [&] {
         results_path_ = ResultsPath(results_path_);
         return 142;
       },
       142},
      {142,
       [&] {
         DeleteOldResults();
         return 144;
       },
       144},
      {144,
       [&] {
         WriteResultsFile(results_text_, results_path_);
         return 162;
       },
       162},
      {146, [&] { return host_.SelectedOutput() == OutputKind::ExcelFile ? 148 : 162; }, 148},
      // The spreadsheet output stops at its first failure: one report, not one per row.
      {148,
       [&] {
         if (spreadsheet_ == nullptr) {
           throw Failure(
               "The spreadsheet application cannot be started: no spreadsheet support is "
               "installed.");
         }
         spreadsheet_application_ = spreadsheet_->StartHidden();
         return 150;
       },
       162},
      {150,
       [&] {
         spreadsheet_application_->AddWorkbook();
         return 156;
       },
       162},
      {156,
       [&] {
         WriteSpreadsheetRows();
         return 160;
       },
       162},
      {160,
       [&] {
         spreadsheet_application_->MakeVisible();
         return 162;
       },
       162},
      {162,
       [&] {
         host_.SetPointer(PointerSetting::Default);
         return 164;
       },
       164},
      {164,
       [&] {
         host_.SetProgressValue(0);
         return kNextStep;
       },
       kNextStep},
      {164,
       [&] {
         host_.SetProgressText(std::string(kProgressBarText));
         return 172;
       },
       172},
      {172,
       [&] {
         if (!output_failed_) host_.ShowMessage(CompletionMessage(results_path_));
         return 178;
       },
       178},
      {174,
       [&] {
         host_.ShowMessage(std::string(kFolderDoesNotExist));
         return 178;
       },
       178},
      {176,
       [&] {
         host_.ShowMessage(std::string(kMustInputNumber));
         return 178;
       },
       178},
      {178,
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
  return count_ >= 1 ? 118 : 136;
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
        return 178;
      }
      ReserveResults(highest);
    } catch (...) {
      Report(DescribeCurrentException(), draw_line);
      return 178;
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
  if (count_ == std::numeric_limits<std::int32_t>::max()) Report(kOverflow, 134);
  return 136;
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

void GenerationRun::DeleteOldResults() {
  // Pending input runs here, once, as it always has. The old results.txt itself stays until
  // WriteResultsFile replaces it in one step, so a failed write never loses it.
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
