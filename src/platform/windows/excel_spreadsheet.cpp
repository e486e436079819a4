#include "platform/windows/excel_spreadsheet.h"

#include <windows.h>

#include <oleauto.h>

#include <algorithm>
#include <cstdint>
#include <new>
#include <span>
#include <string>

#include "core/ports/failure.h"
#include "core/run/spreadsheet_rows.h"
#include "platform/windows/com_dispatch.h"

namespace tallowby {

namespace {

// A rows x width array of numbers, values row by row, the shape Range.Value takes for a block.
class CellArray {
 public:
  CellArray(std::span<const std::int32_t> values, std::size_t width) {
    const std::size_t rows = values.size() / width;
    SAFEARRAYBOUND bounds[2] = {{static_cast<ULONG>(rows), 1}, {static_cast<ULONG>(width), 1}};
    array_ = SafeArrayCreate(VT_VARIANT, 2, bounds);
    if (array_ == nullptr) throw std::bad_alloc();
    value_.get().vt = VT_ARRAY | VT_VARIANT;
    value_.get().parray = array_;  // the Variant destroys it
    if (width > 1) {
      // The array's own indexing places each cell; the memory order is the array's business.
      for (std::size_t row = 0; row < rows; ++row) {
        for (std::size_t column = 0; column < width; ++column) {
          LONG index[2] = {static_cast<LONG>(row + 1), static_cast<LONG>(column + 1)};
          void* cell = nullptr;
          const HRESULT result = SafeArrayPtrOfIndex(array_, index, &cell);
          if (FAILED(result)) ThrowComFailure(result);
          static_cast<VARIANT*>(cell)->vt = VT_I4;
          static_cast<VARIANT*>(cell)->lVal = values[row * width + column];
        }
      }
      return;
    }
    VARIANT* cells = nullptr;
    const HRESULT result = SafeArrayAccessData(array_, reinterpret_cast<void**>(&cells));
    if (FAILED(result)) ThrowComFailure(result);
    // With one column, the rows lie next to each other in memory.
    for (std::size_t row = 0; row < values.size(); ++row) {
      cells[row].vt = VT_I4;
      cells[row].lVal = values[row];
    }
    SafeArrayUnaccessData(array_);
  }

  const VARIANT& get() const { return value_.get(); }

 private:
  SAFEARRAY* array_ = nullptr;
  Variant value_;
};

// A column's letters as Excel names it: A .. Z, AA .. XFD.
std::string ColumnLetters(std::size_t column) {
  std::string letters;
  for (; column > 0; column = (column - 1) / 26)
    letters.insert(letters.begin(), static_cast<char>('A' + (column - 1) % 26));
  return letters;
}

class ExcelApplication final : public SpreadsheetApplication {
 public:
  ExcelApplication(Dispatch application, std::size_t rows_per_write)
      : application_(std::move(application)),
        rows_per_write_(std::max<std::size_t>(1, rows_per_write)) {}

  // Until it is shown, the instance is the run's own: it is closed, not left running unseen.
  // Without alerts, Quit drops the unsaved workbook instead of asking in a window nobody sees.
  ~ExcelApplication() override {
    if (shown_) return;
    try {
      application_.Put("DisplayAlerts", Variant::Bool(false).get());
    } catch (...) {  // Quit is still worth trying
    }
    try {
      application_.Call("Quit");
    } catch (...) {  // nothing more can be done; the reference is released below
    }
  }

  void AddWorkbook() override { application_.Get("Workbooks").Call("add"); }

  void WriteFirstColumn(std::span<const std::int32_t> values, std::int64_t first_row) override {
    WriteRows(values, 1, first_row);
  }

  void WriteRows(std::span<const std::int32_t> values, std::int32_t columns,
                 std::int64_t first_row) override {
    if (values.empty()) return;
    const auto width = static_cast<std::size_t>(columns);
    const auto rows = static_cast<std::int64_t>((values.size() + width - 1) / width);
    if (first_row < 1 || first_row - 1 + rows > kSheetRowLimit) {
      throw Failure("Too many numbers for one sheet: a sheet holds at most 1,048,576 rows.");
    }
    if (columns < 1 || columns > kSheetColumnLimit) {
      throw Failure("Too many columns for one sheet: a sheet holds at most 16,384 columns.");
    }
    const Dispatch sheet = application_.Get("ActiveWorkbook").Get("ActiveSheet");
    ForEachRectangle(
        values, width, rows_per_write_, first_row,
        [&](std::span<const std::int32_t> block, std::size_t block_width, std::int64_t top) {
          const auto bottom = top + static_cast<std::int64_t>(block.size() / block_width) - 1;
          // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) about a chain
          // of + here.
          std::string address = "A";
          address.append(std::to_string(top)).append(":").append(ColumnLetters(block_width));
          address.append(std::to_string(bottom));
          const Dispatch range = sheet.Get("Range", Variant::Text(address).get());
          range.Put("Value", CellArray(block, block_width).get());
        });
  }

  void MakeVisible() override {
    application_.Put("Visible", Variant::Bool(true).get());
    shown_ = true;
  }

 private:
  Dispatch application_;
  std::size_t rows_per_write_;
  bool shown_ = false;
};

}  // namespace

bool ExcelLauncher::IsPresent() {
  try {
    Dispatch application = Dispatch::Create(options_.prog_id);
    return static_cast<bool>(application);
  } catch (...) {  // not registered, not startable, or no object: not there for the user
    return false;
  }
}

std::unique_ptr<SpreadsheetApplication> ExcelLauncher::StartHidden() {
  return std::make_unique<ExcelApplication>(Dispatch::Create(options_.prog_id),
                                            options_.rows_per_write);
}

}  // namespace tallowby
