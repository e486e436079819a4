#include "core/run/results_text.h"

#include <algorithm>
#include <charconv>

namespace tallowby {

void AppendNumberLine(ResultsText& text, std::int32_t n) {
  char buffer[16];
  char* end = std::to_chars(buffer, buffer + sizeof buffer, n).ptr;
  *end++ = '\r';
  *end++ = '\n';
  text.append(buffer, end);
}

std::size_t MaxLineLength(std::int64_t low, std::int64_t high) {
  const auto length = [](std::int64_t n) {
    char buffer[24];
    return static_cast<std::size_t>(std::to_chars(buffer, buffer + sizeof buffer, n).ptr - buffer);
  };
  return std::max(length(low), length(high)) + 2;
}

NumberLineBuffer::NumberLineBuffer(std::function<void(std::string_view)> drain, LineEnd line_end)
    : drain_(std::move(drain)),
      buffers_(new char[2 * kCapacity]),
      filling_(buffers_.get()),
      crlf_(line_end == LineEnd::CrLf) {}

NumberLineBuffer::NumberLineBuffer(std::function<void(std::string_view)> drain, LineEnd line_end,
                                   std::int32_t columns, std::string separator)
    : NumberLineBuffer(std::move(drain), line_end) {
  columns_ = columns;
  separator_ = std::move(separator);
}

NumberLineBuffer::~NumberLineBuffer() {
  if (draining_.valid()) draining_.wait();
}

void NumberLineBuffer::WaitForDrain() {
  if (draining_.valid()) draining_.get();  // rethrows the drain's failure
}

void NumberLineBuffer::HandOn() {
  WaitForDrain();
  const std::string_view full(filling_, used_);
  draining_ = std::async(std::launch::async, [this, full] { drain_(full); });
  filling_ = filling_ == buffers_.get() ? buffers_.get() + kCapacity : buffers_.get();
  used_ = 0;
}

void NumberLineBuffer::Flush() {
  if (column_ != 0) {
    if (kCapacity - used_ < 2) HandOn();
    used_ = static_cast<std::size_t>(EndLine(filling_ + used_) - filling_);
  }
  WaitForDrain();
  if (used_ == 0) return;
  const std::size_t full = used_;
  used_ = 0;
  drain_(std::string_view(filling_, full));
}

std::vector<std::int32_t> ResultsRows(std::string_view results_text) {
  std::vector<std::int32_t> rows;
  rows.reserve(
      static_cast<std::size_t>(std::count(results_text.begin(), results_text.end(), '\n')));
  while (!results_text.empty()) {
    std::int32_t value = 0;
    const auto [end, error] =
        std::from_chars(results_text.data(), results_text.data() + results_text.size(), value);
    if (error != std::errc{}) break;  // the run writes nothing but numbers; stop at anything else
    rows.push_back(value);
    results_text.remove_prefix(static_cast<std::size_t>(end - results_text.data()));
    if (!results_text.starts_with("\r\n")) break;
    results_text.remove_prefix(2);
  }
  return rows;
}

}  // namespace tallowby
