// The main window as the generation run sees it.
#pragma once

#include "app/message_boxes.h"
#include "gen/generation_run.h"

namespace tallowby {

class Form1;

class WindowGenerationHost final : public GenerationHost {
 public:
  WindowGenerationHost(Form1& window, MessageBoxes& boxes, ErrorReporter& reporter)
      : window_(window), boxes_(boxes), reporter_(reporter) {}

  std::string CountText() override;
  std::string HighestText() override;
  std::string FolderText() override;
  std::optional<NumberKind> SelectedKind() override;
  std::optional<OutputKind> SelectedOutput() override;
  std::string DecimalSeparator() override;
  void ShowMessage(const std::string& text) override;
  void ReportError(const std::string& description, std::string_view identity, int line) override;
  void SetPointer(PointerSetting pointer) override;
  void SetProgressValue(int value) override;
  void SetProgressText(const std::string& text) override;
  void ProcessEventsOnce() override;

 private:
  Form1& window_;
  MessageBoxes& boxes_;
  ErrorReporter& reporter_;
};

}  // namespace tallowby
