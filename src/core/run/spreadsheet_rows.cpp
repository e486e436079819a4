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

}  // namespace tallowby
