// The main window of the Windows front end: plain Win32 controls laid out as designed, the view
// the window behaviour drives, and the message loop that carries the user's input to it.
#pragma once

#include <windows.h>

#include <array>
#include <string>

#include "core/ports/window_view.h"
#include "core/window/caption_fit.h"
#include "core/window/colour_scheme.h"
#include "core/window/form_description.h"

namespace tallowby {

class MainWindowBehaviour;

namespace win32 {

class MainWindow final : public WindowView {
 public:
  // Creates the window and its controls, hidden.
  explicit MainWindow(HINSTANCE instance);
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Where the window's events go from now on.
  void Attach(MainWindowBehaviour& behaviour) { behaviour_ = &behaviour; }

  // Shows the window centred on its monitor, with the focus in Text2.
  void Show(int show_command);

  // Runs the program's message loop until the window is gone; returns the exit code.
  int RunMessageLoop();

  HWND Handle() const { return window_; }
  HWND ControlHandle(Control control) const {
    return GetDlgItem(window_, Describe(control).control_id);
  }

  // The skin's parts of the look: the system's visual style on every control, and the
  // button-face colour where white was.
  void UseVisualStyle();

  // The view the behaviour drives.
  std::string FieldText(Field field) override;
  void SetFieldText(Field field, const std::string& text) override;
  std::optional<NumberKind> SelectedKind() override;
  std::optional<OutputKind> SelectedOutput() override;
  void SelectOutput(OutputKind output) override;
  void SetCaption(const std::string& caption) override;
  void SetProgramIcon() override;
  void UseButtonFaceColours() override;
  void LoadCustomPointer(const std::string& cursor_file) override;
  void SetPointer(PointerSetting pointer) override;
  void SetProgressValue(int value) override;
  void SetProgressText(const std::string& text) override;
  void ShowMessageBox(const std::string& text, const std::string& caption,
                      MessageIcon icon) override;
  void ProcessEventsOnce() override;
  void LetWindowRepaint() override;
  std::string DecimalSeparator() override;
  std::uintptr_t NativeHandle() override { return reinterpret_cast<std::uintptr_t>(window_); }

 private:
  static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM w, LPARAM l);
  static LRESULT CALLBACK FieldProcedure(HWND field, UINT message, WPARAM w, LPARAM l, UINT_PTR id,
                                         DWORD_PTR data);
  static LRESULT CALLBACK ProgressProcedure(HWND bar, UINT message, WPARAM w, LPARAM l, UINT_PTR id,
                                            DWORD_PTR data);
  LRESULT Handle(UINT message, WPARAM w, LPARAM l);

  void CreateControls();
  void SelectOption(Control option);
  // The window's fonts, and the widths that show every caption whole in the font the system
  // resolves; in the font the window was designed for they are the designed ones.
  void MakeFonts();
  HFONT MakeFont(const FontDescription& font, int hundredths_of_a_point) const;
  int CaptionRoom(Control control, int hundredths_of_a_point) const;
  TwipRect FittedPlace(Control control) const;
  int Pixels(int twips) const { return MulDiv(twips, dpi_, 1440); }
  // Handles what the dialog manager does not: Enter on a focused button, the pointer rules.
  // True when the message is done with.
  bool PreTranslate(MSG& message);
  void Dispatch(MSG& message);
  void Command(Control control, int code);
  bool SetCursorFor(HWND under);
  // Every background, the visual style and the bar by the user's scheme, now and at each change.
  void FollowScheme();
  // Each field's name is its frame's caption; "..." says what it chooses.
  void AnnotateForScreenReaders();
  // Sets the colours of a control of the role and kind (none: the window) on the DC, and gives
  // the brush its background is painted with.
  HBRUSH Paint(HDC dc, ColourRole role, std::optional<ControlKind> kind);
  void DrawButton(const DRAWITEMSTRUCT& item);
  void Close();

  HWND window_ = nullptr;
  UINT dpi_ = 96;
  FittedForm fitted_{};
  HFONT window_font_ = nullptr;
  HFONT button_font_ = nullptr;
  HBRUSH white_ = nullptr;
  // A skin's parts: the button face on the window, frames and options, and the visual style.
  bool face_colours_ = false;
  bool visual_style_ = false;
  ColourScheme scheme_ = ColourScheme::Light;
  HCURSOR custom_pointer_ = nullptr;
  PointerSetting pointer_ = PointerSetting::Default;
  std::string progress_text_;
  HWND last_focus_ = nullptr;
  MainWindowBehaviour* behaviour_ = nullptr;
  // Input is dropped while a run lets the window repaint; a close waits for the run's end.
  bool repainting_only_ = false;
  bool close_requested_ = false;
};

}  // namespace win32
}  // namespace tallowby
