#include "qt/main_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionButton>
#include <limits>
#include <vector>

#include "core/run/generation_run.h"
#include "core/window/caption_fit.h"
#include "core/window/main_window_behaviour.h"
#include "qt/busy_pointer.h"
#include "qt/cursor_file.h"
#include "qt/native_text.h"
#include "qt/palette_scheme.h"
#include "qt/select_all_line_edit.h"
#include "qt/style_sheet_skin.h"

namespace tallowby {

namespace {

QRect Pixels(const TwipRect& place) {
  // The window's reference resolution: Qt scales device-independent pixels for the screen.
  constexpr int kDotsPerInch = 96;
  return QRect(TwipsToPixels(place.left, kDotsPerInch), TwipsToPixels(place.top, kDotsPerInch),
               TwipsToPixels(place.width, kDotsPerInch), TwipsToPixels(place.height, kDotsPerInch));
}

QString Text(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QFont FontOf(const FontDescription& description, int hundredths_of_a_point) {
  QFont font(Text(description.family));
  font.setPointSizeF(hundredths_of_a_point / 100.0);
  font.setBold(description.bold);
  return font;
}

QFont FontOf(const FontDescription& description) {
  return FontOf(description, description.hundredths_of_a_point);
}

// Pixels at the layout's reference resolution to twips.
constexpr int Twips(int pixels) {
  return pixels * 15;
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

// The four images of the program icon, 32, 48, 128 and 256 pixels square.
QIcon ProgramIcon() {
  QIcon icon;
  for (int size : {32, 48, 128, 256}) {
    icon.addFile(QString(":/icons/tallowby-%1.png").arg(size), QSize(size, size));
  }
  return icon;
}

QWidget* MakeControl(const ControlDescription& row, QWidget* parent) {
  const QString text = Text(row.text);
  switch (row.kind) {
    case ControlKind::Frame:
      return new QGroupBox(text, parent);
    case ControlKind::Option: {
      auto* option = new QRadioButton(text, parent);
      option->setAutoExclusive(true);  // one group per frame
      option->setChecked(row.starts_selected);
      return option;
    }
    case ControlKind::Field: {
      QLineEdit* field = row.selects_all_on_focus ? new SelectAllLineEdit(text, parent)
                                                  : new QLineEdit(text, parent);
      // The fields have no length limit; Qt's stops at 32,767 characters.
      field->setMaxLength(std::numeric_limits<int>::max());
      return field;
    }
    case ControlKind::PushButton: {
      auto* button = new QPushButton(text, parent);
      // Enter and Escape in a field must not press a button; Enter on the focused button presses
      // it, which the window's event filter sees to.
      button->setAutoDefault(false);
      button->setDefault(false);
      return button;
    }
    case ControlKind::ProgressBar: {
      auto* bar = new QProgressBar(parent);
      bar->setRange(0, 100);
      bar->setValue(0);
      bar->setFormat(text);
      bar->setAlignment(Qt::AlignCenter);
      bar->setTextVisible(true);
      return bar;
    }
  }
  return new QWidget(parent);
}

// The palette roles a control's background is painted with.
std::vector<QPalette::ColorRole> BackgroundRoles(std::optional<ControlKind> kind) {
  if (!kind) return {QPalette::Window};  // the window itself
  switch (*kind) {
    case ControlKind::Field:
      return {QPalette::Base};
    case ControlKind::PushButton:
      return {QPalette::Button};
    case ControlKind::ProgressBar:
      return {QPalette::Base, QPalette::Window};
    case ControlKind::Frame:
    case ControlKind::Option:
      break;
  }
  return {QPalette::Window};
}

}  // namespace

MainWindow::MainWindow(MessageBoxes* boxes, QWidget* parent)
    : QWidget(parent), boxes_(boxes != nullptr ? *boxes : own_boxes_) {
  setObjectName(Text(kWindow.object_name));
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  setFixedSize(Pixels({0, 0, kWindow.client_width_twips, kWindow.client_height_twips}).size());
  setFont(FontOf(kWindow.font));
  setAutoFillBackground(true);
  setMouseTracking(true);
  CreateControls();
  FitCaptionsToTheFont();
  ApplyColours();
  SetTabOrder();
  for (QWidget* control : findChildren<QWidget*>()) {
    control->setMouseTracking(true);
    control->installEventFilter(this);
  }
  installEventFilter(this);
}

void MainWindow::CreateControls() {
  for (const ControlDescription& row : kForm) {
    QWidget* parent = row.container ? Widget(*row.container) : this;
    QWidget* control = MakeControl(row, parent);
    control->setObjectName(Text(row.object_name));
    control->setGeometry(Pixels(row.place));
    if (row.font == FontRole::Button) control->setFont(FontOf(kWindow.button_font));
    control->setAccessibleName(Text(AccessibleName(row.control)));
    control->setAccessibleDescription(Text(AccessibleDescription(row.control)));
    controls_[IndexOf(row.control)] = control;
  }
}

int MainWindow::CaptionRoom(Control control, int hundredths_of_a_point) const {
  const ControlDescription& row = Describe(control);
  const int button_hundredths = kWindow.button_font.hundredths_of_a_point * hundredths_of_a_point /
                                kWindow.font.hundredths_of_a_point;
  const QFont font = row.font == FontRole::Button ? FontOf(kWindow.button_font, button_hundredths)
                                                  : FontOf(kWindow.font, hundredths_of_a_point);
  const QFontMetrics metrics(font);
  const QString text = Text(row.text);
  QWidget* widget = Widget(control);
  QStyleOptionButton option;
  option.initFrom(widget);
  option.fontMetrics = metrics;
  option.text = text;
  const QSize contents(metrics.horizontalAdvance(text), metrics.height());
  switch (row.kind) {
    case ControlKind::Option:
      // The caption starts where the style puts an option's label, after its circle.
      return Twips(
          widget->style()->subElementRect(QStyle::SE_RadioButtonContents, &option, widget).left() +
          contents.width());
    case ControlKind::PushButton:
      // Its caption and the margin inside its edge (the style's own minimum size aside).
      return Twips(contents.width() +
                   2 * widget->style()->pixelMetric(QStyle::PM_ButtonMargin, &option, widget));
    default:
      // A frame's title and the bar's text, with room for a frame's corner on either side.
      return Twips(contents.width() + 2 * metrics.height());
  }
}

void MainWindow::FitCaptionsToTheFont() {
  const FittedForm fitted = FitCaptions(
      [this](Control control, int hundredths) { return CaptionRoom(control, hundredths); });
  if (fitted.font_hundredths != kWindow.font.hundredths_of_a_point) {
    setFont(FontOf(kWindow.font, fitted.font_hundredths));
  }
  for (const ControlDescription& row : kForm) {
    QWidget* control = Widget(row.control);
    if (row.font == FontRole::Button &&
        fitted.button_font_hundredths != kWindow.button_font.hundredths_of_a_point) {
      control->setFont(FontOf(kWindow.button_font, fitted.button_font_hundredths));
    }
    TwipRect place = row.place;
    place.width = fitted.widths[IndexOf(row.control)];
    control->setGeometry(Pixels(place));
  }
}

void MainWindow::SetTabOrder() {
  QWidget* previous = nullptr;
  for (const Control control : ControlsInTabOrder()) {
    QWidget* widget = Widget(control);
    if (!TakesFocus(Describe(control).kind)) {
      widget->setFocusPolicy(Qt::NoFocus);
      continue;
    }
    if (previous != nullptr) setTabOrder(previous, widget);
    previous = widget;
  }
}

QLineEdit* MainWindow::LineEdit(Field field) const {
  return static_cast<QLineEdit*>(Widget(ControlFor(field)));
}

QRadioButton* MainWindow::Option(Control option) const {
  return qobject_cast<QRadioButton*>(Widget(option));
}

QPushButton* MainWindow::Button(Control button) const {
  return qobject_cast<QPushButton*>(Widget(button));
}

QGroupBox* MainWindow::Frame(Control frame) const {
  return qobject_cast<QGroupBox*>(Widget(frame));
}

QProgressBar* MainWindow::Bar() const {
  return static_cast<QProgressBar*>(Widget(Control::ProgressBar));
}

std::optional<Control> MainWindow::ControlOf(const QObject* widget) const {
  for (const ControlDescription& row : kForm) {
    if (Widget(row.control) == widget) return row.control;
  }
  return std::nullopt;
}

void MainWindow::Attach(MainWindowBehaviour& behaviour) {
  behaviour_ = &behaviour;
  for (const auto& [field, control] : kFieldControls) {
    connect(LineEdit(field), &QLineEdit::textChanged, this,
            [this, field = field](const QString& text) {
              behaviour_->FieldEdited(field, ToNative(text));
            });
  }
  for (const auto& [output, control] : kOutputOptions) {
    connect(Option(control), &QRadioButton::toggled, this, [this, output = output](bool selected) {
      if (selected) behaviour_->OutputChosen(output);
    });
  }
  connect(Button(Control::FolderButton), &QPushButton::clicked, this,
          [this] { behaviour_->FolderButtonPressed(); });
  connect(Button(Control::StartButton), &QPushButton::clicked, this,
          [this] { behaviour_->StartPressed(); });
}

std::string MainWindow::FieldText(Field field) {
  return ToNative(LineEdit(field)->text());
}

void MainWindow::SetFieldText(Field field, const std::string& text) {
  LineEdit(field)->setText(FromNative(text));
}

std::optional<NumberKind> MainWindow::SelectedKind() {
  for (const auto& [kind, option] : kKindOptions) {
    if (Option(option)->isChecked()) return kind;
  }
  return std::nullopt;
}

std::optional<OutputKind> MainWindow::SelectedOutput() {
  for (const auto& [output, option] : kOutputOptions) {
    if (Option(option)->isChecked()) return output;
  }
  return std::nullopt;
}

void MainWindow::SelectOutput(OutputKind output) {
  Option(OptionFor(output))->setChecked(true);
}

void MainWindow::SetCaption(const std::string& caption) {
  setWindowTitle(FromNative(caption));
}

void MainWindow::SetProgramIcon() {
  setWindowIcon(ProgramIcon());
}

void MainWindow::UseButtonFaceColours() {
  skinned_ = true;
  ApplyColours();
}

void MainWindow::ApplyColours() {
  scheme_ = CurrentScheme();
  // The skin's style sheet picks its variant by this property; a change re-reads the sheet.
  // That comes first: re-reading a sheet puts back the palettes it found when it was first read.
  const QByteArray name(kColourSchemeProperty.data(),
                        static_cast<qsizetype>(kColourSchemeProperty.size()));
  const QString scheme = Text(SchemeName(scheme_));
  if (property(name.constData()).toString() != scheme) {
    setProperty(name.constData(), scheme);
    if (!styleSheet().isEmpty()) setStyleSheet(styleSheet());
  }
  const QColor face = ButtonFaceColour();
  const auto paint = [&](QWidget* widget, ColourRole role, std::optional<ControlKind> kind) {
    // An empty palette sets nothing: the widget takes the user's colours from its parent.
    QPalette palette;
    const Background background = BackgroundFor(role, skinned_, scheme_);
    if (background != Background::Users) {
      for (const QPalette::ColorRole part : BackgroundRoles(kind))
        palette.setColor(part, background == Background::ButtonFace ? face : QColor(Qt::white));
    }
    widget->setPalette(palette);
    if (kind) widget->setAutoFillBackground(background == Background::ButtonFace);
  };
  paint(this, kWindow.colour, std::nullopt);
  for (const ControlDescription& row : kForm)
    paint(Widget(row.control), row.colour, row.kind);
}

void MainWindow::LoadCustomPointer(const std::string& cursor_file) {
  custom_pointer_ = LoadCursorFile(FromNative(cursor_file), devicePixelRatioF());
  ApplyPointer();
}

void MainWindow::SetPointer(PointerSetting pointer) {
  pointer_ = pointer;
  ApplyPointer();
}

void MainWindow::SetProgressValue(int value) {
  Bar()->setValue(value);
}

void MainWindow::SetProgressText(const std::string& text) {
  Bar()->setFormat(FromNative(text));
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
      setCursor(BusyPointer());
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
  const QCursor field_pointer = pointer_ == PointerSetting::Busy ? cursor() : Qt::IBeamCursor;
  for (const auto& [field, control] : kFieldControls) {
    LineEdit(field)->setCursor(field_pointer);
  }
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
  Widget(kWindow.first_focus)->setFocus(Qt::TabFocusReason);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  QWidget::closeEvent(event);
  if (behaviour_ != nullptr) behaviour_->WindowClosing();
  emit Closed();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (blocking_input_ && IsUserInput(event)) return true;
  // The user chose another colour scheme while the program runs.
  if (watched == this && event->type() == QEvent::ApplicationPaletteChange) ApplyColours();
  if (event->type() == QEvent::KeyPress && PressFocusedButton(watched, event)) return true;
  if (event->type() == QEvent::MouseMove) ForwardPointer(watched, event);
  return QWidget::eventFilter(watched, event);
}

bool MainWindow::PressFocusedButton(QObject* watched, QEvent* event) {
  const auto* key = static_cast<QKeyEvent*>(event);
  if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
  if (key->modifiers() & ~Qt::KeypadModifier) return false;
  const std::optional<Control> control = ControlOf(watched);
  if (!control || Describe(*control).kind != ControlKind::PushButton) return false;
  QPushButton* button = Button(*control);
  if (!button->hasFocus() || !button->isEnabled()) return false;
  button->click();
  return true;
}

void MainWindow::ForwardPointer(QObject* watched, QEvent* event) {
  if (behaviour_ == nullptr) return;
  // A move the control under the mouse did not take travels on to its parents; only the control
  // under the mouse has a say.
  const auto* move = static_cast<QMouseEvent*>(event);
  QWidget* under = childAt(mapFromGlobal(move->globalPosition().toPoint()));
  if (under == nullptr) under = this;
  if (watched != under) return;
  const std::optional<Control> control = ControlOf(under);
  switch (control ? Describe(*control).pointer : kWindow.pointer) {
    case PointerRule::Hand:
      behaviour_->PointerOverButton();
      break;
    case PointerRule::Arrow:
      behaviour_->PointerOverControl();
      break;
    case PointerRule::Own:
      break;
  }
}

}  // namespace tallowby
