#include "platform/windows/excel_spreadsheet.h"

#include <windows.h>

#include <oleauto.h>

#include <algorithm>
#include <cstdint>
#include <new>
#include <span>
#include <string>

#include "core/ports/failure.h"
#include "platform/windows/com_dispatch.h"

namespace tallowby {

namespace {

// A rows x 1 array of numbers, the shape Range.Value takes for a block of one column.
class ColumnArray {
 public:
  explicit ColumnArray(std::span<const std::int32_t> values) {
    SAFEARRAYBOUND bounds[2] = {{static_cast<ULONG>(values.size()), 1}, {1, 1}};
    array_ = SafeArrayCreate(VT_VARIANT, 2, bounds);
    if (array_ == nullptr) throw std::bad_alloc();
    VARIANT* cells = nullptr;
    const HRESULT result = SafeArrayAccessData(array_, reinterpret_cast<void**>(&cells));
    if (FAILED(result)) {
      SafeArrayDestroy(array_);
      ThrowComFailure(result);
    }
    // With one column, the rows lie next to each other in memory.
    for (std::size_t row = 0; row < values.size(); ++row) {
      cells[row].vt = VT_I4;
      cells[row].lVal = values[row];
    }
    SafeArrayUnaccessData(array_);
    value_.get().vt = VT_ARRAY | VT_VARIANT;
    value_.get().parray = array_;  // the Variant destroys it
  }

  const VARIANT& get() const { return value_.get(); }

 private:
  SAFEARRAY* array_ = nullptr;
  Variant value_;
};

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
    if (values.empty()) return;
    if (first_row < 1 ||
        first_row - 1 + static_cast<std::int64_t>(values.size()) > kSheetRowLimit) {
      throw Failure("Too many numbers for one sheet: a sheet holds at most 1,048,576 rows.");
    }
    const Dispatch sheet = application_.Get("ActiveWorkbook").Get("ActiveSheet");
    for (std::size_t first = 0; first < values.size(); first += rows_per_write_) {
      const auto block = values.subspan(first, std::min(rows_per_write_, values.size() - first));
      std::string address = "A";
      const std::int64_t top = first_row + static_cast<std::int64_t>(first);
      address.append(std::to_string(top)).append(":A");
      address.append(std::to_string(top + static_cast<std::int64_t>(block.size()) - 1));
      const Dispatch range = sheet.Get("Range", Variant::Text(address).get());
      range.Put("Value", ColumnArray(block).get());
    }
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
