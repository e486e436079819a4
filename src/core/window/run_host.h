// The window as "Start Generating" sees it.
#pragma once

#include <string>

#include "core/ports/window_view.h"
#include "core/run/generation_run.h"
#include "core/window/form_description.h"
#include "core/window/pointer_rules.h"

namespace tallowby {

class RunHost final : public GenerationHost {
 public:
  // The title captions the run's plain messages; it is read at each message, as start-up sets
  // it after the host is made.
  RunHost(WindowView& view, PointerRules& pointer, ErrorReporter& reporter,
          const std::string& application_title)
      : view_(view), pointer_(pointer), reporter_(reporter), title_(application_title) {}

  std::string CountText() override { return view_.FieldText(Field::Count); }
  std::string HighestText() override { return view_.FieldText(Field::Highest); }
  std::string FolderText() override { return view_.FieldText(Field::Folder); }
  std::optional<NumberKind> SelectedKind() override { return view_.SelectedKind(); }
  std::optional<OutputKind> SelectedOutput() override { return view_.SelectedOutput(); }
  std::string KindCaption(NumberKind kind) override {
    return std::string(::tallowby::KindCaption(kind));
  }
  std::string DecimalSeparator() override { return view_.DecimalSeparator(); }
  void ShowMessage(const std::string& text) override {
    view_.ShowMessageBox(text, title_, MessageIcon::None);
  }
  void ReportError(const std::string& description, std::string_view identity, int line) override {
    reporter_.ReportError(description, identity, line);
  }
  void SetPointer(PointerSetting pointer) override { pointer_.Set(pointer); }
  void SetProgressValue(int value) override { view_.SetProgressValue(value); }
  void SetProgressText(const std::string& text) override { view_.SetProgressText(text); }
  void ProcessEventsOnce() override { view_.ProcessEventsOnce(); }
  void LetWindowRepaint() override { view_.LetWindowRepaint(); }

 private:
  WindowView& view_;
  PointerRules& pointer_;
  ErrorReporter& reporter_;
  const std::string& title_;
};

}  // namespace tallowby
