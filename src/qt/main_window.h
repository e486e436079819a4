// The main window of the Qt front end: five frames, three fields, the option groups, two buttons, a
// progress bar.
//
// Controls carry the names every other part of the program uses (Text1, Option4, Frame2, ...),
// as object names too, so tests and the skin can find them.
#pragma once

#include <QCursor>
#include <QGroupBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>
#include <functional>
#include <optional>

#include "core/ports/choices.h"
#include "core/ports/window_view.h"
#include "qt/qt_message_boxes.h"

namespace tallowby {

class MainWindowBehaviour;

class MainWindow : public QWidget, public WindowView {
  Q_OBJECT

 public:
  // The client area in pixels at 96 dots per inch: 8040 x 5460 twips.
  static constexpr int kClientWidth = 536;
  static constexpr int kClientHeight = 364;

  // Message boxes of the window go through `boxes`; without, they are Qt's own, owned by the
  // window.
  explicit MainWindow(MessageBoxes* boxes = nullptr, QWidget* parent = nullptr);

  // Where the window's events go from now on: edits, option choices, presses, mouse movement.
  void Attach(MainWindowBehaviour& behaviour);

  QLineEdit* Text1() const { return text1_; }         // how many numbers to generate
  QLineEdit* Text2() const { return text2_; }         // highest possible number
  QLineEdit* Text3() const { return text3_; }         // output folder
  QRadioButton* Option1() const { return option1_; }  // All numbers
  QRadioButton* Option2() const { return option2_; }  // Even
  QRadioButton* Option3() const { return option3_; }  // Odd
  QRadioButton* Option4() const { return option4_; }  // Text File
  QRadioButton* Option6() const { return option6_; }  // Excel File
  QRadioButton* Option7() const { return option7_; }  // Prime only
  QGroupBox* Frame1() const { return frame1_; }
  QGroupBox* Frame2() const { return frame2_; }
  QGroupBox* Frame3() const { return frame3_; }
  QGroupBox* Frame4() const { return frame4_; }
  QGroupBox* Frame5() const { return frame5_; }
  QPushButton* PushButton1() const { return push_button1_; }  // "..."
  QPushButton* PushButton6() const { return push_button6_; }  // "Start Generating"
  QProgressBar* ProgressBar1() const { return progress_bar1_; }

  // The pointer setting: 0 the default arrow, 11 busy, 99 the custom pointer (the hand cursor
  // once one is loaded, the default arrow before).
  PointerSetting MousePointer() const { return pointer_; }
  bool HasCustomPointer() const { return custom_pointer_.has_value(); }

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

  // Every control whose mouse movement shows the default arrow, and the two that show the hand.
  QList<QWidget*> FieldPointerControls() const;
  QList<QWidget*> ButtonPointerControls() const;

 signals:
  void Closed();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateControls();
  void SetTabOrder();
  void ApplyPointer();
  QLineEdit* FieldControl(Field field) const;
  bool PressFocusedButton(QObject* watched, QEvent* event);
  void ForwardPointer(QObject* watched, QEvent* event);

  QtMessageBoxes own_boxes_{this};
  MessageBoxes& boxes_;
  MainWindowBehaviour* behaviour_ = nullptr;
  // While a run lets the window repaint, the user's input is dropped.
  bool blocking_input_ = false;

  QLineEdit* text1_ = nullptr;
  QLineEdit* text2_ = nullptr;
  QLineEdit* text3_ = nullptr;
  QRadioButton* option1_ = nullptr;
  QRadioButton* option2_ = nullptr;
  QRadioButton* option3_ = nullptr;
  QRadioButton* option4_ = nullptr;
  QRadioButton* option6_ = nullptr;
  QRadioButton* option7_ = nullptr;
  QGroupBox* frame1_ = nullptr;
  QGroupBox* frame2_ = nullptr;
  QGroupBox* frame3_ = nullptr;
  QGroupBox* frame4_ = nullptr;
  QGroupBox* frame5_ = nullptr;
  QPushButton* push_button1_ = nullptr;
  QPushButton* push_button6_ = nullptr;
  QProgressBar* progress_bar1_ = nullptr;

  PointerSetting pointer_ = PointerSetting::Default;
  std::optional<QCursor> custom_pointer_;
  bool shown_before_ = false;
};

}  // namespace tallowby
