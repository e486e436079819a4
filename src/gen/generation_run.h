// "Start Generating": check the fields, draw the numbers, hand them to the chosen output.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "gen/guarded_steps.h"
#include "gen/number_kinds.h"
#include "gen/random_source.h"
#include "output/spreadsheet.h"
#include "output/text_output.h"

namespace tallowby {

enum class OutputKind { TextFile, ExcelFile };

// The main window's pointer setting.
enum class PointerSetting : int { Default = 0, Busy = 11, Custom = 99 };

inline constexpr std::string_view kMustInputNumber = "Must input a number.";
inline constexpr std::string_view kFolderDoesNotExist =
    "Folder does not exist. Please select another folder.";
inline constexpr std::string_view kProgressBarText = "Progress Bar";

// "Done.", CR CR, the path, CR LF CR LF, "was created.".
std::string CompletionMessage(std::string_view results_path);

// Why a kind is refused for a highest number that no draw of that kind can come from.
std::string ImpossibleKindMessage(NumberKind kind, std::int32_t highest);

// What the run needs of the main window. Message boxes have an OK button only, no icon, and the
// application title as caption; error reports go through ErrorReporter.
class GenerationHost : public ErrorReporter {
 public:
  virtual std::string CountText() = 0;    // "How many numbers to generate?"
  virtual std::string HighestText() = 0;  // "Highest possible number"
  virtual std::string FolderText() = 0;   // "Save Results To This Folder"
  // The first selected of "All numbers", "Even", "Odd", "Prime only"; nothing when none is.
  virtual std::optional<NumberKind> SelectedKind() = 0;
  // The first selected of "Text File", "Excel File"; nothing when none is.
  virtual std::optional<OutputKind> SelectedOutput() = 0;
  // The user's decimal separator, as typed numbers use it.
  virtual std::string DecimalSeparator() = 0;
  virtual void ShowMessage(const std::string& text) = 0;
  virtual void SetPointer(PointerSetting pointer) = 0;
  virtual void SetProgressValue(int value) = 0;
  virtual void SetProgressText(const std::string& text) = 0;
  // Lets pending window events run once; the run's only yield to the user interface.
  virtual void ProcessEventsOnce() = 0;
};

class GenerationRun {
 public:
  // spreadsheet may be null when no spreadsheet backend could be loaded.
  GenerationRun(GenerationHost& host, UniformSource& random, SpreadsheetLauncher* spreadsheet);

  // The handler of "Start Generating". A press that arrives while a run is in progress (through
  // the run's one pass of the event loop) is ignored.
  void PushButton6_Click();

  bool Running() const { return running_; }

  // Seams for tests: the time of day, and the size above which a results text is refused as not
  // fitting in memory (the machine's physical memory by default).
  void SetClock(std::function<float()> clock) { clock_ = std::move(clock); }
  void SetMemoryLimit(std::uint64_t bytes) { memory_limit_ = bytes; }

 private:
  class Reporter;

  bool FieldsAreNumeric();
  int ConvertCount();
  int DrawNumbers();
  template <class Source>
  void DrawInto(Source& source, NumberKind kind, std::int32_t highest, int draw_line);
  void ReserveResults(std::int32_t highest);
  void DeleteOldResults();
  void WriteSpreadsheetRows();
  void Report(const std::string& description, int line);

  GenerationHost& host_;
  UniformSource& random_;
  SpreadsheetLauncher* spreadsheet_;
  std::function<float()> clock_;
  std::uint64_t memory_limit_;

  // Run-local state, reset by every run.
  bool running_ = false;
  bool output_failed_ = false;
  std::string separator_;
  std::int32_t count_ = 0;
  ResultsText results_text_;
  std::string results_path_;
  std::unique_ptr<SpreadsheetApplication> spreadsheet_application_;
};

// The numbers of the results text's lines, in order.
std::vector<std::int32_t> ResultsRows(std::string_view results_text);

}  // namespace tallowby
