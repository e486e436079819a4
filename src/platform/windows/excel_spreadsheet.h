// The spreadsheet backend for Windows: Microsoft Excel over COM automation, late-bound.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "core/ports/spreadsheet.h"

namespace tallowby {

inline constexpr const char* kExcelProgId = "Excel.Application";

// Rows per Range.Value assignment: large enough that a million rows take a few round trips,
// small enough that one array stays a couple of megabytes.
inline constexpr std::size_t kExcelRowsPerWrite = 65'536;

struct ExcelOptions {
  // The automation server to start; tests register a stand-in under a ProgID of their own.
  std::string prog_id = kExcelProgId;
  std::size_t rows_per_write = kExcelRowsPerWrite;
};

class ExcelLauncher final : public SpreadsheetLauncher {
 public:
  explicit ExcelLauncher(ExcelOptions options = {}) : options_(std::move(options)) {}

  // Creates the application object and releases it at once; false when it cannot be created.
  bool IsPresent() override;

  // The application started out of sight. Failures carry Excel's own description (or the
  // system's text for the result) and the HRESULT as Code().
  std::unique_ptr<SpreadsheetApplication> StartHidden() override;

 private:
  ExcelOptions options_;
};

}  // namespace tallowby
