// The numbers into the spreadsheet's first column, a block of rows per call.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

#include "core/ports/spreadsheet.h"

namespace tallowby {

// Enough rows that a full sheet takes 16 calls, few enough that one call's array stays small.
inline constexpr std::size_t kRowsPerBlock = std::size_t{1} << 16;

// Writes the column from row 1 on, one block per call, each going on where the last ended.
// After each block, after_block (when given) learns how many rows are written and may stop the
// writing by returning false; the function then returns false.
bool WriteColumnInBlocks(SpreadsheetApplication& application, std::span<const std::int32_t> column,
                         const std::function<bool(std::int64_t rows_written)>& after_block = {});

// The same for rows of `columns` numbers from the first column on, row by row, the last row
// shorter when the count does not divide; about as many numbers per call as a block of the column.
// One column goes as WriteColumnInBlocks writes it.
void WriteRowsInBlocks(SpreadsheetApplication& application, std::span<const std::int32_t> numbers,
                       std::int32_t columns);

// Rows of `width` numbers from first_row on, cut into rectangles for a spreadsheet that takes one
// range per call: whole rows, about cells_per_call cells each, then a shorter last row as a block
// of its own. write(block, block_width, top_row) takes each in turn.
void ForEachRectangle(
    std::span<const std::int32_t> values, std::size_t width, std::size_t cells_per_call,
    std::int64_t first_row,
    const std::function<void(std::span<const std::int32_t>, std::size_t, std::int64_t)>& write);

}  // namespace tallowby
