// Loading the spreadsheet backend, a plugin beside the program, at run time.
//
// The program must start and work without LibreOffice installed; only "Excel File" needs it. So
// the backend, which links LibreOffice's UNO libraries, is loaded when the program starts rather
// than linked into it, and any problem with it turns into a launcher that reports the spreadsheet
// application missing.
#pragma once

#include <memory>
#include <string>

#include "core/ports/spreadsheet.h"

namespace tallowby {

// The backend's file in the program folder.
inline constexpr const char* kSpreadsheetPluginFileName = "libtallowby_calc.so";

// The launcher of the plugin in program_folder. When the plugin is missing, belongs to another
// version of the program or cannot be loaded (LibreOffice's libraries absent), the launcher's
// IsPresent() is false and its StartHidden() throws Failure telling why. Never throws itself.
std::unique_ptr<SpreadsheetLauncher> LoadSpreadsheetPlugin(const std::string& program_folder);

}  // namespace tallowby
