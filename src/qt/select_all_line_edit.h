// A single-line field that selects its whole text whenever it gains the focus.
#pragma once

#include <QLineEdit>

namespace tallowby {

class SelectAllLineEdit : public QLineEdit {
  Q_OBJECT

 public:
  using QLineEdit::QLineEdit;

 protected:
  void focusInEvent(QFocusEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  // A click that brings the focus would place the cursor and so undo the selection; the press
  // and its release are left to select the whole text instead.
  bool selecting_on_click_ = false;
};

}  // namespace tallowby
