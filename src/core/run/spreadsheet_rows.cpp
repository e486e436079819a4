#include "core/run/spreadsheet_rows.h"

#include <algorithm>

namespace tallowby {

bool WriteColumnInBlocks(SpreadsheetApplication& application, std::span<const std::int32_t> column,
                         const std::function<bool(std::int64_t rows_written)>& after_block) {
  for (std::size_t first = 0; first < column.size(); first += kRowsPerBlock) {
    const auto block = column.subspan(first, std::min(kRowsPerBlock, column.size() - first));
    application.WriteFirstColumn(block, static_cast<std::int64_t>(first) + 1);
    const auto written = static_cast<std::int64_t>(first + block.size());
    if (after_block && !after_block(written)) return false;
  }
  return true;
}

void WriteRowsInBlocks(SpreadsheetApplication& application, std::span<const std::int32_t> numbers,
                       std::int32_t columns) {
  if (columns == 1) {
    WriteColumnInBlocks(application, numbers);
    return;
  }
  const auto width = static_cast<std::size_t>(columns);
  const std::size_t rows_per_block = std::max<std::size_t>(1, kRowsPerBlock / width);
  for (std::size_t row = 0; row * width < numbers.size(); row += rows_per_block) {
    const std::size_t first = row * width;
    const auto block =
        numbers.subspan(first, std::min(rows_per_block * width, numbers.size() - first));
    application.WriteRows(block, columns, static_cast<std::int64_t>(row) + 1);
  }
}

void ForEachRectangle(
    std::span<const std::int32_t> values, std::size_t width, std::size_t cells_per_call,
    std::int64_t first_row,
    const std::function<void(std::span<const std::int32_t>, std::size_t, std::int64_t)>& write) {
  const std::size_t rows_per_call = std::max<std::size_t>(1, cells_per_call / width);
  const std::size_t whole_rows = values.size() / width;
  for (std::size_t row = 0; row < whole_rows; row += rows_per_call) {
    const std::size_t rows = std::min(rows_per_call, whole_rows - row);
    write(values.subspan(row * width, rows * width), width,
          first_row + static_cast<std::int64_t>(row));
  }
  if (const std::size_t rest = values.size() % width; rest != 0) {
    write(values.subspan(whole_rows * width), rest,
          first_row + static_cast<std::int64_t>(whole_rows));
  }
}

}  // namespace tallowby
