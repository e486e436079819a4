// What the main window does on its own between commands: store every edit, check the spreadsheet
// application when it is chosen, and end the program when the window closes.
#pragma once

#include <QObject>

#include "app/message_boxes.h"
#include "output/spreadsheet.h"

namespace tallowby {

class Form1;

inline constexpr const char* kSpreadsheetMissing = "Excel is not installed.";

class FieldBehaviour : public QObject {
  Q_OBJECT

 public:
  FieldBehaviour(Form1& window, MessageBoxes& boxes, SpreadsheetLauncher& spreadsheet);

 private:
  void StoreField(const char* key, const QString& text);

  Form1& window_;
  MessageBoxes& boxes_;
  SpreadsheetLauncher& spreadsheet_;
  // A store that cannot be written is told once, not at every keystroke; a later successful
  // write re-arms the notice.
  bool told_about_failed_store_ = false;
};

// When the spreadsheet application is missing: "Excel is not installed." and back to "Text File".
void CheckSpreadsheetPresent(Form1& window, SpreadsheetLauncher& spreadsheet, MessageBoxes& boxes);

// Shown once when a field's text cannot be stored.
QString FailedStoreNotice(const QString& description);

}  // namespace tallowby
