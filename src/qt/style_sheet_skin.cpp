#include "qt/style_sheet_skin.h"

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QLabel>
#include <QStringDecoder>

#include "core/ports/failure.h"
#include "qt/native_text.h"
#include "qt/palette_scheme.h"

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

}  // namespace

void StyleSheetSkinEngine::LoadSkin(const std::string& path, const std::string& /*section*/) {
  QFile file(FromNative(path));
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

StyleSheetSkinEngine::StyleSheetSkinEngine(QWidget* window) : window_(window) {
  if (qApp != nullptr) qApp->installEventFilter(this);
}

bool StyleSheetSkinEngine::eventFilter(QObject* watched, QEvent* event) {
  if (watched == window_ && event->type() == QEvent::ApplicationPaletteChange && applied_) {
    ApplyToDialogs();
  }
  return QObject::eventFilter(watched, event);
}

void StyleSheetSkinEngine::ApplyToDialogs() {
  if (!skin_dialogs_) return;
  const QString sheet = CurrentScheme() == ColourScheme::Light ? style_sheet_ : QString();
  if (qApp->styleSheet() != sheet) qApp->setStyleSheet(sheet);
}

void StyleSheetSkinEngine::ApplyToWindow() {
  if (!enabled_ || window_ == nullptr) return;
  applied_ = true;
  ApplyToDialogs();
  window_->setStyleSheet(style_sheet_);
  if (options_ & kPolishImmediately) {
    for (QWidget* control : window_->findChildren<QWidget*>())
      control->ensurePolished();
  }
}

QColor ButtonFaceColour() {
  return QApplication::palette().color(QPalette::Button);
}

}  // namespace tallowby
