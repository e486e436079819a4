#include "qt/qt_message_boxes.h"

#include <QMessageBox>

namespace tallowby {

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

}  // namespace tallowby
