#include "qt/select_all_line_edit.h"

#include <QFocusEvent>
#include <QMouseEvent>

namespace tallowby {

void SelectAllLineEdit::focusInEvent(QFocusEvent* event) {
  QLineEdit::focusInEvent(event);
  selectAll();
  selecting_on_click_ = event->reason() == Qt::MouseFocusReason;
}

void SelectAllLineEdit::mousePressEvent(QMouseEvent* event) {
  if (selecting_on_click_ && event->button() == Qt::LeftButton) {
    event->accept();
    return;
  }
  QLineEdit::mousePressEvent(event);
}

void SelectAllLineEdit::mouseReleaseEvent(QMouseEvent* event) {
  if (selecting_on_click_) {
    selecting_on_click_ = false;
    event->accept();
    return;
  }
  QLineEdit::mouseReleaseEvent(event);
}

}  // namespace tallowby
