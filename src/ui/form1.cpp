#include "ui/form1.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>

#include "app/appearance.h"
#include "ui/select_all_line_edit.h"

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
  // Enter and Escape in a field must not press a button.
  button->setAutoDefault(false);
  button->setDefault(false);
  QPalette palette = button->palette();
  palette.setColor(QPalette::Button, Qt::white);
  button->setPalette(palette);
  return button;
}

}  // namespace

Form1::Form1(QWidget* parent) : QWidget(parent) {
  setObjectName("Form1");
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  setFixedSize(kClientWidth, kClientHeight);
  setFont(WindowFont());
  setAutoFillBackground(true);
  SetBackColor(Qt::white);
  setMouseTracking(true);
  CreateControls();
  SetTabOrder();
  for (QWidget* control : findChildren<QWidget*>()) {
    control->setMouseTracking(true);
    control->installEventFilter(this);
  }
  installEventFilter(this);
}

void Form1::CreateControls() {
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

void Form1::SetTabOrder() {
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

std::optional<NumberKind> Form1::SelectedKind() const {
  if (option1_->isChecked()) return NumberKind::AllNumbers;
  if (option2_->isChecked()) return NumberKind::Even;
  if (option3_->isChecked()) return NumberKind::Odd;
  if (option7_->isChecked()) return NumberKind::PrimeOnly;
  return std::nullopt;
}

std::optional<OutputKind> Form1::SelectedOutput() const {
  if (option4_->isChecked()) return OutputKind::TextFile;
  if (option6_->isChecked()) return OutputKind::ExcelFile;
  return std::nullopt;
}

void Form1::SetMousePointer(PointerSetting pointer) {
  // The hover rules set the pointer on every mouse movement; only a change touches the cursors.
  if (pointer == pointer_) return;
  pointer_ = pointer;
  ApplyPointer();
}

void Form1::SetCustomPointer(const QCursor& cursor) {
  custom_pointer_ = cursor;
  ApplyPointer();
}

void Form1::ApplyPointer() {
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

void Form1::SetBackColor(const QColor& colour) {
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, colour);
  setPalette(palette);
}

QList<QWidget*> Form1::FieldPointerControls() const {
  return {const_cast<Form1*>(this),
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

QList<QWidget*> Form1::ButtonPointerControls() const {
  return {push_button1_, push_button6_};
}

void Form1::showEvent(QShowEvent* event) {
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

void Form1::closeEvent(QCloseEvent* event) {
  QWidget::closeEvent(event);
  emit Closed();
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::MouseMove) return QWidget::eventFilter(watched, event);
  // A move the control under the mouse did not take travels on to its parents; only the control
  // under the mouse has a say.
  const auto* move = static_cast<QMouseEvent*>(event);
  QWidget* under = childAt(mapFromGlobal(move->globalPosition().toPoint()));
  if (under == nullptr) under = this;
  if (watched != under) return false;
  if (ButtonPointerControls().contains(under)) {
    PointerOverButton(*this);
  } else if (FieldPointerControls().contains(under)) {
    PointerOverField(*this);
  }
  return false;
}

}  // namespace tallowby
