// The one stand-in for a window: the fields and options a test sets, and a log of everything the
// window behaviour and the run show or do, in order, as short lines.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/ports/failure.h"
#include "core/ports/window_view.h"
#include "core/window/error_report_box.h"
#include "core/window/pointer_rules.h"
#include "core/window/run_host.h"

namespace tallowby::testing {

struct ShownBox {
  std::string text;
  std::string caption;
  MessageIcon icon;
};

class RecordingView final : public WindowView {
 public:
  std::string count = "5";
  std::string highest = "10";
  std::string folder;
  std::optional<NumberKind> kind = NumberKind::AllNumbers;
  std::optional<OutputKind> output = OutputKind::TextFile;
  std::string separator = ".";
  // A front end reports every change of a field's text back as an edit, as typing would.
  std::function<void(Field, const std::string&)> on_edit;
  std::function<void()> on_events;
  std::function<void()> on_repaint;
  // The cursor file LoadCustomPointer refuses, as a toolkit refuses a damaged one.
  std::string unreadable_cursor;

  std::vector<std::string> log;
  std::vector<ShownBox> boxes;
  std::string caption;
  bool icon_set = false;
  PointerSetting pointer = PointerSetting::Default;
  std::string custom_pointer;

  std::string& Text(Field field) {
    return field == Field::Count ? count : field == Field::Highest ? highest : folder;
  }

  std::string FieldText(Field field) override { return Text(field); }
  void SetFieldText(Field field, const std::string& text) override {
    if (Text(field) == text) return;
    Text(field) = text;
    if (on_edit) on_edit(field, text);
  }
  std::optional<NumberKind> SelectedKind() override { return kind; }
  std::optional<OutputKind> SelectedOutput() override { return output; }
  void SelectOutput(OutputKind chosen) override {
    output = chosen;
    log.push_back(chosen == OutputKind::TextFile ? "select Text File" : "select Excel File");
  }
  void SetCaption(const std::string& text) override { caption = text; }
  void SetProgramIcon() override { icon_set = true; }
  void UseButtonFaceColours() override { log.push_back("button face"); }
  void LoadCustomPointer(const std::string& cursor_file) override {
    if (cursor_file == unreadable_cursor) throw Failure("The cursor file is damaged");
    custom_pointer = cursor_file;
  }
  void SetPointer(PointerSetting setting) override {
    pointer = setting;
    log.push_back("pointer " + std::to_string(static_cast<int>(setting)));
  }
  void SetProgressValue(int value) override { log.push_back("progress " + std::to_string(value)); }
  void SetProgressText(const std::string& text) override { log.push_back("progress text " + text); }
  // Plain messages log as "message: TEXT", error reports as "report LINE: DESCRIPTION".
  void ShowMessageBox(const std::string& text, const std::string& box_caption,
                      MessageIcon icon) override {
    boxes.push_back({text, box_caption, icon});
    const std::size_t at_line = text.find(" at line ");
    if (box_caption == "Application Error" && at_line != std::string::npos) {
      const std::size_t description_end = text.find("\r\n");
      log.push_back("report " + std::to_string(std::stoi(text.substr(at_line + 9))) + ": " +
                    text.substr(0, description_end));
    } else {
      log.push_back("message: " + text);
    }
  }
  void ProcessEventsOnce() override {
    log.push_back("events");
    if (on_events) on_events();
  }
  void LetWindowRepaint() override {
    if (on_repaint) on_repaint();
  }
  std::string DecimalSeparator() override { return separator; }
  std::uintptr_t NativeHandle() override { return 42; }
};

// The run's host as the window behaviour makes it, over a recording view.
struct RecordedWindow {
  RecordingView view;
  PointerRules pointer{view};
  ErrorReportBox reporter{view};
  std::string title = "Tallowby";
  RunHost host{view, pointer, reporter, title};
};

}  // namespace tallowby::testing
