// Modal message boxes, behind an interface so tests can record them instead of showing them.
#pragma once

#include <QString>
#include <QWidget>
#include <string>

#include "gen/guarded_steps.h"

namespace tallowby {

enum class MessageIcon { None, Warning };

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

// The application title, which captions every message box that names no caption of its own.
const QString& ApplicationTitle();
void SetApplicationTitleText(const QString& title);

// A plain message: OK only, no icon, the application title as caption.
void ShowPlainMessage(MessageBoxes& boxes, const std::string& text);

// The uniform error report: "Application Error", OK only, the warning icon.
class ErrorReportBox final : public ErrorReporter {
 public:
  explicit ErrorReportBox(MessageBoxes& boxes) : boxes_(boxes) {}
  void ReportError(const std::string& description, std::string_view identity, int line) override;

 private:
  MessageBoxes& boxes_;
};

// Line breaks as the program writes them (CR LF, or a lone CR) in the form a Qt box shows.
QString ForDisplay(const QString& text);

}  // namespace tallowby
