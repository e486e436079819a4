#include "app/application.h"
#include "app/startup.h"
#ifdef _WIN32
#include "output/excel/excel_spreadsheet.h"
#else
#include "output/spreadsheet_plugin.h"
#endif

namespace tallowby {

// Windows has Excel over COM built in; elsewhere LibreOffice Calc comes as a plugin, so the
// program runs where LibreOffice is missing.
std::unique_ptr<SpreadsheetLauncher> LoadSpreadsheetLauncher(const QString& program_folder) {
#ifdef _WIN32
  (void)program_folder;
  return std::make_unique<ExcelLauncher>();
#else
  return LoadSpreadsheetPlugin(ToNative(program_folder));
#endif
}

}  // namespace tallowby
