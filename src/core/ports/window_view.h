// The main window as its behaviour sees it: what a toolkit's window must offer so that the one
// behaviour in core/window can drive it. Each front end implements it; tests record it.
//
// Texts are in the platform's narrow encoding (UTF-8 on Linux, the ANSI code page on Windows).
// Line breaks in texts are the program's own (CR LF, or a lone CR); a view shows them as lines.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/ports/choices.h"

namespace tallowby {

// The three fields: Text1 "How many numbers to generate?", Text2 "Highest possible number",
// Text3 "Save Results To This Folder".
enum class Field { Count, Highest, Folder };

enum class MessageIcon { None, Warning };

class WindowView {
 public:
  virtual ~WindowView() = default;

  virtual std::string FieldText(Field field) = 0;
  // Setting a text counts as an edit, as typing does: the view reports the change back.
  virtual void SetFieldText(Field field, const std::string& text) = 0;

  // The first selected option of each group, in the order the run tests them; nothing when none
  // is selected.
  virtual std::optional<NumberKind> SelectedKind() = 0;
  virtual std::optional<OutputKind> SelectedOutput() = 0;
  virtual void SelectOutput(OutputKind output) = 0;

  virtual void SetCaption(const std::string& caption) = 0;
  // The program's icon, on the window and in the task bar.
  virtual void SetProgramIcon() = 0;
  // The system's button-face colour on the window, its frames and options, as a skin wants.
  virtual void UseButtonFaceColours() = 0;

  // Loads a Windows cursor file as the custom pointer; throws Failure when it is not one.
  virtual void LoadCustomPointer(const std::string& cursor_file) = 0;
  virtual void SetPointer(PointerSetting pointer) = 0;

  virtual void SetProgressValue(int value) = 0;
  virtual void SetProgressText(const std::string& text) = 0;

  // A modal box with an OK button only; returns when the user has closed it.
  virtual void ShowMessageBox(const std::string& text, const std::string& caption,
                              MessageIcon icon) = 0;

  // Lets pending window events run once.
  virtual void ProcessEventsOnce() = 0;
  // Lets the window repaint and take a request to close, but no input (which waits for the next
  // pass of ProcessEventsOnce or the end of the run).
  virtual void LetWindowRepaint() = 0;

  // The user's decimal separator, as typed numbers use it.
  virtual std::string DecimalSeparator() = 0;

  // The window's native handle, which owns the dialogs it opens.
  virtual std::uintptr_t NativeHandle() = 0;
};

}  // namespace tallowby
