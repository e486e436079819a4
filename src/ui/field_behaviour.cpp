#include "ui/field_behaviour.h"

#include <QCoreApplication>

#include "app/settings_store.h"
#include "gen/failure.h"
#include "ui/form1.h"

namespace tallowby {

FieldBehaviour::FieldBehaviour(Form1& window, MessageBoxes& boxes, SpreadsheetLauncher& spreadsheet)
    : QObject(&window), window_(window), boxes_(boxes), spreadsheet_(spreadsheet) {
  connect(window.Text1(), &QLineEdit::textChanged, this,
          [this](const QString& text) { StoreField("Text1", text); });
  connect(window.Text2(), &QLineEdit::textChanged, this,
          [this](const QString& text) { StoreField("Text2", text); });
  connect(window.Text3(), &QLineEdit::textChanged, this,
          [this](const QString& text) { StoreField("Text3", text); });
  connect(window.Option6(), &QRadioButton::toggled, this, [this](bool selected) {
    if (selected) CheckSpreadsheetPresent(window_, spreadsheet_, boxes_);
  });
  // Closing the main window ends the program, whatever else is open, nested loops included.
  connect(&window, &Form1::Closed, qApp, [] { QCoreApplication::exit(0); });
}

void FieldBehaviour::StoreField(const char* key, const QString& text) {
  try {
    WriteSetting(kSettingsApplication, kSettingsSection, key, text);
    told_about_failed_store_ = false;
  } catch (const Failure& failure) {
    if (told_about_failed_store_) return;
    told_about_failed_store_ = true;
    boxes_.Show(FailedStoreNotice(QString::fromLocal8Bit(failure.Description())),
                ApplicationTitle(), MessageIcon::Warning);
  }
}

QString FailedStoreNotice(const QString& description) {
  return description +
         ".\r\n\r\nTallowby keeps working with what you typed, but cannot remember it for the "
         "next start.";
}

void CheckSpreadsheetPresent(Form1& window, SpreadsheetLauncher& spreadsheet, MessageBoxes& boxes) {
  if (spreadsheet.IsPresent()) return;
  ShowPlainMessage(boxes, kSpreadsheetMissing);
  window.Option4()->setChecked(true);
}

}  // namespace tallowby
