// The plugin's only entry points. Everything else in the plugin is hidden, so that its own copies
// of core routines are never mixed up with the program's.
#include <string_view>
#include <type_traits>

#include "calc/calc_launcher.h"
#include "core/ports/spreadsheet.h"

#define TALLOWBY_EXPORT __attribute__((visibility("default")))

extern "C" {

TALLOWBY_EXPORT int tallowby_spreadsheet_plugin_abi() {
  return tallowby::kSpreadsheetPluginAbi;
}

// Returns a launcher for the program to own and delete, or null when none could be made.
TALLOWBY_EXPORT tallowby::SpreadsheetLauncher* tallowby_create_spreadsheet_launcher() {
  try {
    return tallowby::calc::CreateCalcLauncher().release();
  } catch (...) {
    return nullptr;
  }
}

}  // extern "C"

// The program finds these functions by the names and types it was built with.
static_assert(std::string_view(tallowby::kSpreadsheetPluginAbiSymbol) ==
              "tallowby_spreadsheet_plugin_abi");
static_assert(std::string_view(tallowby::kSpreadsheetPluginCreateSymbol) ==
              "tallowby_create_spreadsheet_launcher");
static_assert(std::is_same_v<decltype(&tallowby_spreadsheet_plugin_abi),
                             tallowby::SpreadsheetPluginAbiFunction>);
static_assert(std::is_same_v<decltype(&tallowby_create_spreadsheet_launcher),
                             tallowby::SpreadsheetPluginCreateFunction>);
