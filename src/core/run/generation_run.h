// "Start Generating": check the fields, draw the numbers, hand them to the chosen output.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/numbers/number_kinds.h"
#include "core/numbers/random_source.h"
#include "core/ports/choices.h"
#include "core/ports/file_system.h"
#include "core/ports/spreadsheet.h"
#include "core/run/guarded_steps.h"
#include "core/run/results_text.h"
#include "core/run/run_progress.h"

namespace tallowby {

struct DrawRequest;

// The steps of "Start Generating" by the line numbers their failures are reported with. Users
// quote these numbers from error reports, and reports of every earlier version carry them: they
// must never change.
namespace start_generating_line {
inline constexpr int kCheckFieldsNumeric = 100;
inline constexpr int kCheckFolderExists = 102;
inline constexpr int kShowBusyPointer = 104;
inline constexpr int kClearResults = 106;
inline constexpr int kSeedRandomSource = 114;
inline constexpr int kConvertCount = 116;
inline constexpr int kDrawNumbers = 118;
inline constexpr int kDrawAllNumbers = 120;
inline constexpr int kDrawEven = 124;
inline constexpr int kDrawOdd = 128;
inline constexpr int kDrawPrime = 132;
inline constexpr int kCountPastTheTop = 134;
inline constexpr int kChooseTextFile = 136;
inline constexpr int kTakeFolder = 138;
inline constexpr int kMakeResultsPath = 140;
inline constexpr int kLetPendingEventsRun = 142;
inline constexpr int kWriteResultsFile = 144;
inline constexpr int kChooseSpreadsheet = 146;
inline constexpr int kStartSpreadsheet = 148;
inline constexpr int kAddWorkbook = 150;
inline constexpr int kWriteRows = 156;
inline constexpr int kShowSpreadsheet = 160;
inline constexpr int kRestorePointer = 162;
inline constexpr int kResetProgressBar = 164;
inline constexpr int kShowDone = 172;
inline constexpr int kShowFolderMissing = 174;
inline constexpr int kShowMustInputNumber = 176;
inline constexpr int kEnd = 178;
}  // namespace start_generating_line

inline constexpr std::string_view kMustInputNumber = "Must input a number.";
inline constexpr std::string_view kFolderDoesNotExist =
    "Folder does not exist. Please select another folder.";
inline constexpr std::string_view kProgressBarText = "Progress Bar";

// "Done.", CR CR, the path, CR LF CR LF, "was created.".
std::string CompletionMessage(std::string_view results_path);

// Why a kind is refused for a highest number that no draw of that kind can come from; the kind
// is named by its option's caption.
std::string ImpossibleKindMessage(std::string_view kind_caption, std::int32_t highest);

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
  // The caption of the option that chooses the kind, as the window shows it.
  virtual std::string KindCaption(NumberKind kind) = 0;
  // The user's decimal separator, as typed numbers use it.
  virtual std::string DecimalSeparator() = 0;
  virtual void ShowMessage(const std::string& text) = 0;
  virtual void SetPointer(PointerSetting pointer) = 0;
  virtual void SetProgressValue(int value) = 0;
  virtual void SetProgressText(const std::string& text) = 0;
  // Lets pending window events run once; the run's only yield to the user's input.
  virtual void ProcessEventsOnce() = 0;
  // Lets the window repaint and take a request to close, but no input, during a long run.
  virtual void LetWindowRepaint() = 0;
};

class GenerationRun {
 public:
  // spreadsheet may be null when no spreadsheet backend could be loaded.
  GenerationRun(GenerationHost& host, UniformSource& random, FileSystem& files,
                SpreadsheetLauncher* spreadsheet);

  // The handler of "Start Generating". A press that arrives while a run is in progress (through
  // the run's one pass of the event loop) is ignored.
  void StartGenerating();

  bool Running() const { return running_; }

  // The window is closing: a run in progress stops where it is, as a failed output would, with
  // nothing written and nothing shown. Takes effect where the run lets the window's events in.
  void StopForClosedWindow() { stop_requested_ = true; }

  // Seams for tests: the time of day, the size above which a spreadsheet's numbers are refused as
  // not fitting in memory (the machine's physical memory by default), and when the progress bar
  // starts to move and how often.
  void SetClock(std::function<float()> clock) { clock_ = std::move(clock); }
  void SetMemoryLimit(std::uint64_t bytes) { memory_limit_ = bytes; }
  void SetProgressTiming(RunProgress::Clock::duration delay,
                         RunProgress::Clock::duration interval) {
    progress_.SetTiming(delay, interval);
  }

 private:
  class Reporter;

  bool FieldsAreNumeric();
  int ConvertCount();
  int DrawNumbers();
  bool DrawToOutput(const DrawRequest& request, int draw_line);
  template <class Lines>
  struct DrawTarget;
  void ReserveResults(std::int32_t highest);
  int LetPendingEventsRun();
  int WriteResultsFile();
  int StopHere();
  int WriteSpreadsheetRows();
  void Report(const std::string& description, int line);

  GenerationHost& host_;
  UniformSource& random_;
  FileSystem& files_;
  SpreadsheetLauncher* spreadsheet_;
  std::function<float()> clock_;
  std::uint64_t memory_limit_;
  RunProgress progress_;

  // Run-local state, reset by every run.
  bool running_ = false;
  bool output_failed_ = false;
  bool stop_requested_ = false;
  std::string separator_;
  std::int32_t count_ = 0;
  ResultsText results_text_;
  std::string results_path_;
  // The text file being written while the numbers are drawn.
  std::unique_ptr<FileReplacement> replacement_;
  std::unique_ptr<SpreadsheetApplication> spreadsheet_application_;
};

}  // namespace tallowby
