// The main window of the Qt front end, made by walking the core's form description: five frames,
// three fields, the option groups, two buttons and a progress bar.
//
// Controls carry their contract names (Text1, Option4, Frame2, ...) as object names, so tests and
// the skin can find them.
#pragma once

#include <QCursor>
#include <QGroupBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>
#include <array>
#include <optional>

#include "core/ports/choices.h"
#include "core/ports/window_view.h"
#include "core/window/colour_scheme.h"
#include "core/window/form_description.h"
#include "qt/qt_message_boxes.h"

namespace tallowby {

class MainWindowBehaviour;

class MainWindow : public QWidget, public WindowView {
  Q_OBJECT

 public:
  // Message boxes of the window go through `boxes`; without, they are Qt's own, owned by the
  // window.
  explicit MainWindow(MessageBoxes* boxes = nullptr, QWidget* parent = nullptr);

  // Where the window's events go from now on: edits, option choices, presses, mouse movement.
  void Attach(MainWindowBehaviour& behaviour);

  QWidget* Widget(Control control) const { return controls_[IndexOf(control)]; }
  QLineEdit* LineEdit(Field field) const;
  QRadioButton* Option(Control option) const;
  QPushButton* Button(Control button) const;
  QGroupBox* Frame(Control frame) const;
  QProgressBar* Bar() const;
  // The control a widget of the window is, if it is one.
  std::optional<Control> ControlOf(const QObject* widget) const;

  // The pointer setting: 0 the default arrow, 11 busy, 99 the custom pointer (the hand cursor
  // once one is loaded, the default arrow before).
  PointerSetting MousePointer() const { return pointer_; }
  bool HasCustomPointer() const { return custom_pointer_.has_value(); }
  ColourScheme Scheme() const { return scheme_; }

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
  std::uintptr_t NativeHandle() override;

 signals:
  void Closed();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateControls();
  // Widens controls, or shrinks the font, where a caption would not fit in the font the system
  // resolves; in the font the window was designed for nothing changes.
  void FitCaptionsToTheFont();
  int CaptionRoom(Control control, int hundredths_of_a_point) const;
  void SetTabOrder();
  // Every background by the scheme's rule, now and whenever the user's scheme changes.
  void ApplyColours();
  void ApplyPointer();
  bool PressFocusedButton(QObject* watched, QEvent* event);
  void ForwardPointer(QObject* watched, QEvent* event);

  QtMessageBoxes own_boxes_{this};
  MessageBoxes& boxes_;
  MainWindowBehaviour* behaviour_ = nullptr;
  // While a run lets the window repaint, the user's input is dropped.
  bool blocking_input_ = false;

  std::array<QWidget*, kControlCount> controls_{};

  bool skinned_ = false;
  ColourScheme scheme_ = ColourScheme::Light;
  PointerSetting pointer_ = PointerSetting::Default;
  std::optional<QCursor> custom_pointer_;
  bool shown_before_ = false;
};

}  // namespace tallowby
