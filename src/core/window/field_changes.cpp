// What the window does on its own between commands: store every edit, and check the spreadsheet
// application when it is chosen.
#include "core/ports/failure.h"
#include "core/window/main_window_behaviour.h"
#include "core/window/settings_keys.h"
#include "core/window/window_texts.h"

namespace tallowby {

void MainWindowBehaviour::FieldEdited(Field field, const std::string& text) {
  try {
    services_.settings.Write(SettingOf(field).key, text);
    told_about_failed_store_ = false;
  } catch (const Failure& failure) {
    if (told_about_failed_store_) return;
    told_about_failed_store_ = true;
    view_.ShowMessageBox(FailedStoreNotice(failure.Description()), application_title_,
                         MessageIcon::Warning);
  }
}

void MainWindowBehaviour::OutputChosen(OutputKind output) {
  if (output != OutputKind::ExcelFile) return;
  if (services_.spreadsheet != nullptr && services_.spreadsheet->IsPresent()) return;
  view_.ShowMessageBox(std::string(kSpreadsheetMissing), application_title_, MessageIcon::None);
  view_.SelectOutput(OutputKind::TextFile);
}

}  // namespace tallowby
