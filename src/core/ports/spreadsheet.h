// The spreadsheet application as the generation run drives it.
//
// The interface follows the automation calls the run makes, one method per call site: start the
// application out of sight, add a workbook, fill the first column, show it. Backends: LibreOffice
// Calc over UNO (a plugin loaded at run time on Linux) and Excel over COM on Windows.
#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "core/ports/failure.h"

namespace tallowby {

// The last row and column of a sheet; the run refuses more numbers than they hold before writing
// any.
inline constexpr std::int64_t kSheetRowLimit = 1'048'576;
inline constexpr std::int32_t kSheetColumnLimit = 16'384;

// One started spreadsheet application, held by the run from its start to its end. Every method
// throws Failure with a readable description when the application does not do what was asked.
//
// Destroying the object releases the run's reference. Once MakeVisible() succeeded, the
// application and its new workbook stay open for the user and are never saved or closed. Before
// that, the backend closes what it opened, so nothing invisible is left running.
class SpreadsheetApplication {
 public:
  virtual ~SpreadsheetApplication() = default;

  // Adds a new, untitled workbook that becomes the active one.
  virtual void AddWorkbook() = 0;

  // Puts values[i] into row first_row + i (rows count from 1) of the first column of the active
  // sheet of the active workbook, as numeric cells. Written in bulk, never one call per cell; a
  // long column may come in several calls, each going on where the last ended.
  virtual void WriteFirstColumn(std::span<const std::int32_t> values, std::int64_t first_row) = 0;

  // Puts values into rows from first_row on, `columns` to a row from the first column on, row by
  // row: values[i] into row first_row + i / columns, column 1 + i % columns. The last row is
  // shorter when the count does not divide. Written in bulk, like WriteFirstColumn. A backend that
  // fills only the first column takes one column and fails with Failure for more.
  virtual void WriteRows(std::span<const std::int32_t> values, std::int32_t columns,
                         std::int64_t first_row);

  // Shows the application with the new workbook in front and leaves it to the user.
  virtual void MakeVisible() = 0;
};

inline void SpreadsheetApplication::WriteRows(std::span<const std::int32_t> values,
                                              std::int32_t columns, std::int64_t first_row) {
  if (columns != 1) throw Failure("This spreadsheet takes the numbers in one column only.");
  WriteFirstColumn(values, first_row);
}

class SpreadsheetLauncher {
 public:
  virtual ~SpreadsheetLauncher() = default;

  // Whether the spreadsheet application is installed and able to show windows. Fast, and leaves
  // nothing running.
  virtual bool IsPresent() = 0;

  // Starts the application out of sight; throws Failure when it cannot be started.
  virtual std::unique_ptr<SpreadsheetApplication> StartHidden() = 0;
};

// A plugin that provides a backend exports these C functions. The ABI number changes whenever
// the classes above change, so an old plugin next to a new program is refused, not crashed into.
inline constexpr int kSpreadsheetPluginAbi = 3;
inline constexpr const char* kSpreadsheetPluginAbiSymbol = "tallowby_spreadsheet_plugin_abi";
inline constexpr const char* kSpreadsheetPluginCreateSymbol =
    "tallowby_create_spreadsheet_launcher";
using SpreadsheetPluginAbiFunction = int (*)();
using SpreadsheetPluginCreateFunction = SpreadsheetLauncher* (*)();

}  // namespace tallowby
