#include "app/application.h"
#include "app/startup.h"
#include "output/spreadsheet_plugin.h"

namespace tallowby {

std::unique_ptr<SpreadsheetLauncher> LoadSpreadsheetLauncher(const QString& program_folder) {
  return LoadSpreadsheetPlugin(ToNative(program_folder));
}

}  // namespace tallowby
