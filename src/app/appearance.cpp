#include "app/appearance.h"

#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QImageReader>
#include <QLabel>
#include <QPixmap>
#include <QRadioButton>
#include <QStringDecoder>
#include <QStyle>

#include <algorithm>

#include "gen/failure.h"
#include "ui/form1.h"

namespace tallowby {

namespace {

// Qt reports a style sheet it cannot parse only as a warning; while a skin is checked, such a
// warning is caught and turned into a failure.
QString* g_parse_warning = nullptr;
QtMessageHandler g_previous_handler = nullptr;

void CatchParseWarnings(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (g_parse_warning != nullptr && text.contains("Could not parse")) {
    *g_parse_warning = text;
    return;
  }
  if (g_previous_handler != nullptr) g_previous_handler(type, context, text);
}

bool StyleSheetParses(const QString& style_sheet) {
  QString warning;
  g_parse_warning = &warning;
  g_previous_handler = qInstallMessageHandler(CatchParseWarnings);
  {
    QWidget probe;
    auto* child = new QLabel(&probe);
    probe.setStyleSheet(style_sheet);
    child->ensurePolished();
  }
  qInstallMessageHandler(g_previous_handler);
  g_parse_warning = nullptr;
  return warning.isEmpty();
}

void SetBackColour(QWidget* control, const QColor& colour) {
  QPalette palette = control->palette();
  palette.setColor(QPalette::Window, colour);
  control->setPalette(palette);
  control->setAutoFillBackground(true);
}

}  // namespace

void StyleSheetSkinEngine::LoadSkin(const QString& path, const QString& /*section*/) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    throw Failure("The skin file could not be read: " + file.errorString().toStdString());
  }
  QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) {
    throw Failure("The skin file could not be read: " + file.errorString().toStdString());
  }
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  const QString text = utf8(bytes);
  if (utf8.hasError() || text.contains(QChar(0))) {
    throw Failure("The skin file is damaged: it is not a text file");
  }
  if (!StyleSheetParses(text))
    throw Failure("The skin file is damaged: its style sheet is invalid");
  style_sheet_ = text;
}

void StyleSheetSkinEngine::ApplyToWindow(QWidget* window) {
  if (!enabled_ || window == nullptr) return;
  if (skin_dialogs_) qApp->setStyleSheet(style_sheet_);
  window->setStyleSheet(style_sheet_);
  if (options_ & kPolishImmediately) {
    for (QWidget* control : window->findChildren<QWidget*>())
      control->ensurePolished();
  }
}

QColor ButtonFaceColour() {
  return QApplication::palette().color(QPalette::Button);
}

void ApplySkin(Form1& window, const QString& program_folder, SkinEngine& engine) {
  const QString path = program_folder + kSkinFile;
  const QFileInfo info(path);
  // Only a normal file listed in its folder counts: hidden and system entries do not.
  const QStringList listed =
      info.dir().entryList(QStringList{info.fileName()}, QDir::Files | QDir::NoDotAndDotDot);
  if (!listed.contains(info.fileName())) return;

  const QColor face = ButtonFaceColour();
  window.SetBackColor(face);
  for (QWidget* control : window.findChildren<QWidget*>()) {
    if (qobject_cast<QRadioButton*>(control) || qobject_cast<QCheckBox*>(control) ||
        qobject_cast<QGroupBox*>(control) || qobject_cast<QLabel*>(control)) {
      SetBackColour(control, face);
    }
  }
  engine.LoadSkin(path, QString());
  engine.SetOptions(engine.Options() | SkinEngine::kPolishImmediately);
  engine.SetEnabled(true);
  engine.SetSkinDialogs(true);
  engine.ApplyToWindow(&window);
}

QCursor LoadCursorFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    throw Failure("The cursor file could not be read: " + file.errorString().toStdString());
  }
  QByteArray bytes = file.readAll();
  // The file starts with a directory: reserved 0, type 2 (cursor), the number of images, then one
  // 16-byte entry per image whose fourth and fifth fields hold the hot spot.
  const auto word = [&bytes](int offset) {
    return static_cast<int>(static_cast<unsigned char>(bytes[offset]) |
                            static_cast<unsigned char>(bytes[offset + 1]) << 8);
  };
  if (bytes.size() < 22 || word(0) != 0 || word(2) != 2 || word(4) < 1) {
    throw Failure("The cursor file is damaged: it is not a Windows cursor");
  }
  const int hot_x = word(6 + 4);
  const int hot_y = word(6 + 6);

  QBuffer buffer(&bytes);
  QImageReader reader(&buffer, "cur");
  const QImage image = reader.read();
  if (image.isNull()) {
    throw Failure("The cursor file is damaged: " + reader.errorString().toStdString());
  }
  return QCursor(QPixmap::fromImage(image), std::clamp(hot_x, 0, image.width() - 1),
                 std::clamp(hot_y, 0, image.height() - 1));
}

void PointerOverButton(Form1& window) {
  if (window.MousePointer() != PointerSetting::Busy) window.SetMousePointer(PointerSetting::Custom);
}

void PointerOverField(Form1& window) {
  if (window.MousePointer() != PointerSetting::Busy) {
    window.SetMousePointer(PointerSetting::Default);
  }
}

}  // namespace tallowby
