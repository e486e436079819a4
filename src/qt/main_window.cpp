#include "qt/main_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMouseEvent>
#include <QScreen>

#include "core/run/generation_run.h"
#include "core/window/main_window_behaviour.h"
#include "qt/cursor_file.h"
#include "qt/native_text.h"
#include "qt/select_all_line_edit.h"
#include "qt/style_sheet_skin.h"

namespace tallowby {

namespace {

// Layout positions are kept in twips, as the window was designed; 15 twips make one pixel at 96
// dots per inch, the program's reference resolution.
constexpr int Pixels(int twips) {
  return (twips + 7) / 15;
}

QRect Twips(int left, int top, int width, int height) {
  return QRect(Pixels(left), Pixels(top), Pixels(width), Pixels(height));
}

QFont WindowFont() {
  QFont font("Arial");
  font.setPointSizeF(9);
  font.setBold(true);
  return font;
}

QFont ButtonFont() {
  QFont font("Arial");
  font.setPointSizeF(11.25);
  font.setBold(true);
  return font;
}

bool IsUserInput(const QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::InputMethod:
      return true;
    default:
      return false;
  }
}

void SetBackColour(QWidget* control, const QColor& colour) {
  QPalette palette = control->palette();
  palette.setColor(QPalette::Window, colour);
  control->setPalette(palette);
}

// The four images of the program icon, 32, 48, 128 and 256 pixels square.
QIcon ProgramIcon() {
  QIcon icon;
  for (int size : {32, 48, 128, 256}) {
    icon.addFile(QString(":/icons/tallowby-%1.png").arg(size), QSize(size, size));
  }
  return icon;
}

template <class Control>
Control* Place(Control* control, const char* name, const QRect& geometry) {
  control->setObjectName(name);
  control->setGeometry(geometry);
  return control;
}

QGroupBox* MakeFrame(QWidget* parent, const char* name, const char* caption,
                     const QRect& geometry) {
  return Place(new QGroupBox(caption, parent), name, geometry);
}

QRadioButton* MakeOption(QWidget* parent, const char* name, const char* caption,
                         const QRect& geometry) {
  auto* option = Place(new QRadioButton(caption, parent), name, geometry);
  option->setAutoExclusive(true);  // one group per frame
  return option;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const char* caption,
                        const QRect& geometry) {
  auto* button = Place(new QPushButton(caption, parent), name, geometry);
  button->setFont(ButtonFont());
  // Enter and Escape in a field must not press a button; Enter on the focused button presses it,
  // which the window's event filter sees to.
  button->setAutoDefault(false);
  button->setDefault(false);
  QPalette palette = button->palette();
  palette.setColor(QPalette::Button, Qt::white);
  button->setPalette(palette);
  return button;
}

}  // namespace

MainWindow::MainWindow(MessageBoxes* boxes, QWidget* parent)
    : QWidget(parent), boxes_(boxes != nullptr ? *boxes : own_boxes_) {
  setObjectName("Form1");
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  setFixedSize(kClientWidth, kClientHeight);
  setFont(WindowFont());
  setAutoFillBackground(true);
  SetBackColour(this, Qt::white);
  setMouseTracking(true);
  CreateControls();
  SetTabOrder();
  for (QWidget* control : findChildren<QWidget*>()) {
    control->setMouseTracking(true);
    control->installEventFilter(this);
  }
  installEventFilter(this);
}

void MainWindow::CreateControls() {
  frame2_ = MakeFrame(this, "Frame2", "Output", Twips(120, 120, 7800, 705));
  option4_ = MakeOption(frame2_, "Option4", "Text File", Twips(240, 300, 1095, 240));
  option6_ = MakeOption(frame2_, "Option6", "Excel File", Twips(1800, 300, 1215, 240));

  frame1_ = MakeFrame(this, "Frame1", "Types", Twips(120, 900, 7800, 705));
  option1_ = MakeOption(frame1_, "Option1", "All numbers", Twips(240, 300, 1335, 240));
  option2_ = MakeOption(frame1_, "Option2", "Even", Twips(1800, 300, 735, 240));
  option3_ = MakeOption(frame1_, "Option3", "Odd", Twips(2760, 300, 735, 240));
  option7_ = MakeOption(frame1_, "Option7", "Prime only", Twips(3720, 300, 1335, 240));

  frame4_ = MakeFrame(this, "Frame4", "Highest possible number", Twips(120, 1680, 7800, 825));
  text2_ = Place(new SelectAllLineEdit("Text1", frame4_), "Text2", Twips(240, 300, 7305, 345));

  frame3_ = MakeFrame(this, "Frame3", "How many numbers to generate?", Twips(120, 2580, 7800, 825));
  text1_ = Place(new SelectAllLineEdit("Text1", frame3_), "Text1", Twips(240, 300, 7305, 345));

  frame5_ = MakeFrame(this, "Frame5", "Save Results To This Folder", Twips(120, 3480, 7800, 810));
  text3_ = Place(new QLineEdit(frame5_), "Text3", Twips(240, 300, 6630, 345));
  push_button1_ = MakeButton(frame5_, "PushButton1", "...", Twips(6960, 300, 600, 345));

  push_button6_ = MakeButton(this, "PushButton6", "Start Generating", Twips(120, 4410, 7800, 405));

  progress_bar1_ = Place(new QProgressBar(this), "ProgressBar1", Twips(120, 4930, 7800, 405));
  progress_bar1_->setRange(0, 100);
  progress_bar1_->setValue(0);
  progress_bar1_->setFormat(QString::fromUtf8(kProgressBarText.data(), kProgressBarText.size()));
  progress_bar1_->setAlignment(Qt::AlignCenter);
  progress_bar1_->setTextVisible(true);
  QPalette bar_palette = progress_bar1_->palette();
  bar_palette.setColor(QPalette::Base, Qt::white);
  bar_palette.setColor(QPalette::Window, Qt::white);
  progress_bar1_->setPalette(bar_palette);

  for (QLineEdit* field : {text1_, text2_}) {
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base, Qt::white);
    field->setPalette(palette);
  }

  option4_->setChecked(true);
  option1_->setChecked(true);
}

void MainWindow::SetTabOrder() {
  const QList<QWidget*> order = {text2_,   text1_,         push_button6_, option4_,
                                 option6_, option1_,       option2_,      option3_,
                                 option7_, progress_bar1_, text3_,        push_button1_};
  for (QWidget* control : {static_cast<QWidget*>(frame1_), static_cast<QWidget*>(frame2_),
                           static_cast<QWidget*>(frame3_), static_cast<QWidget*>(frame4_),
                           static_cast<QWidget*>(frame5_), static_cast<QWidget*>(progress_bar1_)}) {
    control->setFocusPolicy(Qt::NoFocus);
  }
  for (qsizetype i = 1; i < order.size(); ++i)
    setTabOrder(order[i - 1], order[i]);
}

void MainWindow::Attach(MainWindowBehaviour& behaviour) {
  behaviour_ = &behaviour;
  const auto store = [this](QLineEdit* control, Field field) {
    connect(control, &QLineEdit::textChanged, this,
            [this, field](const QString& text) { behaviour_->FieldEdited(field, ToNative(text)); });
  };
  store(text1_, Field::Count);
  store(text2_, Field::Highest);
  store(text3_, Field::Folder);
  connect(option4_, &QRadioButton::toggled, this, [this](bool selected) {
    if (selected) behaviour_->OutputChosen(OutputKind::TextFile);
  });
  connect(option6_, &QRadioButton::toggled, this, [this](bool selected) {
    if (selected) behaviour_->OutputChosen(OutputKind::ExcelFile);
  });
  connect(push_button1_, &QPushButton::clicked, this,
          [this] { behaviour_->FolderButtonPressed(); });
  connect(push_button6_, &QPushButton::clicked, this, [this] { behaviour_->StartPressed(); });
}

QLineEdit* MainWindow::FieldControl(Field field) const {
  switch (field) {
    case Field::Count:
      return text1_;
    case Field::Highest:
      return text2_;
    case Field::Folder:
      return text3_;
  }
  return text1_;
}

std::string MainWindow::FieldText(Field field) {
  return ToNative(FieldControl(field)->text());
}

void MainWindow::SetFieldText(Field field, const std::string& text) {
  FieldControl(field)->setText(FromNative(text));
}

std::optional<NumberKind> MainWindow::SelectedKind() {
  if (option1_->isChecked()) return NumberKind::AllNumbers;
  if (option2_->isChecked()) return NumberKind::Even;
  if (option3_->isChecked()) return NumberKind::Odd;
  if (option7_->isChecked()) return NumberKind::PrimeOnly;
  return std::nullopt;
}

std::optional<OutputKind> MainWindow::SelectedOutput() {
  if (option4_->isChecked()) return OutputKind::TextFile;
  if (option6_->isChecked()) return OutputKind::ExcelFile;
  return std::nullopt;
}

void MainWindow::SelectOutput(OutputKind output) {
  (output == OutputKind::TextFile ? option4_ : option6_)->setChecked(true);
}

void MainWindow::SetCaption(const std::string& caption) {
  setWindowTitle(FromNative(caption));
}

void MainWindow::SetProgramIcon() {
  setWindowIcon(ProgramIcon());
}

void MainWindow::UseButtonFaceColours() {
  const QColor face = ButtonFaceColour();
  SetBackColour(this, face);
  for (QWidget* control : findChildren<QWidget*>()) {
    if (qobject_cast<QRadioButton*>(control) || qobject_cast<QCheckBox*>(control) ||
        qobject_cast<QGroupBox*>(control) || qobject_cast<QLabel*>(control)) {
      SetBackColour(control, face);
      control->setAutoFillBackground(true);
    }
  }
}

void MainWindow::LoadCustomPointer(const std::string& cursor_file) {
  custom_pointer_ = LoadCursorFile(FromNative(cursor_file));
  ApplyPointer();
}

void MainWindow::SetPointer(PointerSetting pointer) {
  pointer_ = pointer;
  ApplyPointer();
}

void MainWindow::SetProgressValue(int value) {
  progress_bar1_->setValue(value);
}

void MainWindow::SetProgressText(const std::string& text) {
  progress_bar1_->setFormat(FromNative(text));
}

void MainWindow::ShowMessageBox(const std::string& text, const std::string& caption,
                                MessageIcon icon) {
  boxes_.Show(FromNative(text), FromNative(caption), icon);
}

void MainWindow::ProcessEventsOnce() {
  QCoreApplication::processEvents();
}

void MainWindow::LetWindowRepaint() {
  // Qt counts the window system's close request as input, so input cannot simply be left
  // waiting: every event is let in, and the user's input is dropped on the way while the run
  // goes on, as a press of "Start Generating" would be ignored anyway.
  blocking_input_ = true;
  qApp->installEventFilter(this);
  QCoreApplication::processEvents();
  qApp->removeEventFilter(this);
  blocking_input_ = false;
}

std::string MainWindow::DecimalSeparator() {
  return ToNative(QLocale().decimalPoint());
}

std::uintptr_t MainWindow::NativeHandle() {
  return static_cast<std::uintptr_t>(winId());
}

void MainWindow::ApplyPointer() {
  switch (pointer_) {
    case PointerSetting::Busy:
      setCursor(Qt::WaitCursor);
      break;
    case PointerSetting::Custom:
      if (custom_pointer_) {
        setCursor(*custom_pointer_);
      } else {
        unsetCursor();
      }
      break;
    case PointerSetting::Default:
      unsetCursor();
      break;
  }
  // The fields keep their text cursor, except that busy means busy everywhere in the window.
  for (QLineEdit* field : {text1_, text2_, text3_}) {
    field->setCursor(pointer_ == PointerSetting::Busy ? Qt::WaitCursor : Qt::IBeamCursor);
  }
}

QList<QWidget*> MainWindow::FieldPointerControls() const {
  return {const_cast<MainWindow*>(this),
          frame1_,
          frame2_,
          frame3_,
          frame4_,
          frame5_,
          option1_,
          option2_,
          option3_,
          option4_,
          option6_,
          option7_,
          text1_,
          text2_};
}

QList<QWidget*> MainWindow::ButtonPointerControls() const {
  return {push_button1_, push_button6_};
}

void MainWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (shown_before_) return;
  shown_before_ = true;
  if (const QScreen* screen = this->screen()) {
    const QRect available = screen->availableGeometry();
    QRect frame = frameGeometry();
    frame.moveCenter(available.center());
    move(frame.topLeft());
  }
  text2_->setFocus(Qt::TabFocusReason);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  QWidget::closeEvent(event);
  if (behaviour_ != nullptr) behaviour_->WindowClosing();
  emit Closed();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (blocking_input_ && IsUserInput(event)) return true;
  if (event->type() == QEvent::KeyPress && PressFocusedButton(watched, event)) return true;
  if (event->type() == QEvent::MouseMove) ForwardPointer(watched, event);
  return QWidget::eventFilter(watched, event);
}

bool MainWindow::PressFocusedButton(QObject* watched, QEvent* event) {
  const auto* key = static_cast<QKeyEvent*>(event);
  if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
  if (key->modifiers() & ~Qt::KeypadModifier) return false;
  for (QPushButton* button : {push_button1_, push_button6_}) {
    if (watched == button && button->hasFocus() && button->isEnabled()) {
      button->click();
      return true;
    }
  }
  return false;
}

void MainWindow::ForwardPointer(QObject* watched, QEvent* event) {
  if (behaviour_ == nullptr) return;
  // A move the control under the mouse did not take travels on to its parents; only the control
  // under the mouse has a say.
  const auto* move = static_cast<QMouseEvent*>(event);
  QWidget* under = childAt(mapFromGlobal(move->globalPosition().toPoint()));
  if (under == nullptr) under = this;
  if (watched != under) return;
  if (ButtonPointerControls().contains(under)) {
    behaviour_->PointerOverButton();
  } else if (FieldPointerControls().contains(under)) {
    behaviour_->PointerOverControl();
  }
}

}  // namespace tallowby
