#include "app/message_boxes.h"

#include <QMessageBox>

#include "app/application_title.h"
#include "app/error_report_text.h"

namespace tallowby {

namespace {

QString& TitleStorage() {
  static QString title = QString::fromStdString(ApplicationTitleFor(kDisplayName));
  return title;
}

}  // namespace

const QString& ApplicationTitle() {
  return TitleStorage();
}
void SetApplicationTitleText(const QString& title) {
  TitleStorage() = title;
}

QString ForDisplay(const QString& text) {
  QString shown = text;
  shown.replace("\r\n", "\n");
  shown.replace('\r', '\n');
  return shown;
}

void QtMessageBoxes::Show(const QString& text, const QString& caption, MessageIcon icon) {
  QMessageBox box(icon == MessageIcon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon,
                  caption, ForDisplay(text), QMessageBox::Ok, owner_);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

void ShowPlainMessage(MessageBoxes& boxes, const std::string& text) {
  boxes.Show(QString::fromLocal8Bit(text), ApplicationTitle(), MessageIcon::None);
}

void ErrorReportBox::ReportError(const std::string& description, std::string_view identity,
                                 int line) {
  boxes_.Show(QString::fromLocal8Bit(ErrorReportText(description, identity, line)),
              QString::fromUtf8(kErrorReportCaption.data(), kErrorReportCaption.size()),
              MessageIcon::Warning);
}

}  // namespace tallowby
