// Modal message boxes, behind an interface so tests can record them instead of showing them.
#pragma once

#include <QString>
#include <QWidget>

#include "core/ports/window_view.h"

namespace tallowby {

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // A box with an OK button only; returns when the user has closed it.
  virtual void Show(const QString& text, const QString& caption, MessageIcon icon) = 0;
};

class QtMessageBoxes final : public MessageBoxes {
 public:
  explicit QtMessageBoxes(QWidget* owner) : owner_(owner) {}
  void Show(const QString& text, const QString& caption, MessageIcon icon) override;

 private:
  QWidget* owner_;
};

// Line breaks as the program writes them (CR LF, or a lone CR) in the form a Qt box shows.
QString ForDisplay(const QString& text);

}  // namespace tallowby
