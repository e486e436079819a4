// The results text: every number's decimal text followed by CR LF, in drawing order.
#pragma once

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tallowby {

using ResultsText = std::string;

// Appends n's decimal text ("-" and digits) and CR LF.
void AppendNumberLine(ResultsText& text, std::int32_t n);

// The most characters one line can take for numbers between low and high, CR LF included.
std::size_t MaxLineLength(std::int64_t low, std::int64_t high);

// How each number's line ends: CR LF as the program has always written, or a bare line feed for
// tools that expect one.
enum class LineEnd { CrLf, Lf };

// Collects number lines and hands them on a buffer-full at a time, so the results text can go to
// a file as it is drawn, at flat memory whatever the count. Two buffers take turns: while one
// fills, the other is handed on in the background, so drawing and writing overlap.
class NumberLineBuffer {
 public:
  static constexpr std::size_t kCapacity = std::size_t{4} << 20;

  // `drain` takes each full buffer, one at a time, on a thread of its own; a failure it throws
  // comes out of the next Append or Flush.
  explicit NumberLineBuffer(std::function<void(std::string_view)> drain,
                            LineEnd line_end = LineEnd::CrLf);
  // The same with `columns` numbers on a line, `separator` between them; the last line ends
  // where the numbers do.
  NumberLineBuffer(std::function<void(std::string_view)> drain, LineEnd line_end,
                   std::int32_t columns, std::string separator);
  // Waits for a buffer still being handed on; its failure, if any, is dropped.
  ~NumberLineBuffer();
  NumberLineBuffer(const NumberLineBuffer&) = delete;
  NumberLineBuffer& operator=(const NumberLineBuffer&) = delete;

  void Append(std::int32_t n) {
    // "-2147483648" and CR LF take 13 characters, the separator may take more.
    if (kCapacity - used_ < 13 + separator_.size()) HandOn();
    char* end = filling_ + used_;
    if (column_ != 0) end = std::copy(separator_.begin(), separator_.end(), end);
    end = std::to_chars(end, filling_ + kCapacity, n).ptr;
    if (++column_ == columns_) end = EndLine(end);
    used_ = static_cast<std::size_t>(end - filling_);
  }

  // Ends a shorter last line, hands on what is left and returns once everything is drained.
  void Flush();

 private:
  void HandOn();
  void WaitForDrain();
  char* EndLine(char* end) {
    if (crlf_) *end++ = '\r';
    *end++ = '\n';
    column_ = 0;
    return end;
  }

  std::function<void(std::string_view)> drain_;
  std::unique_ptr<char[]> buffers_;
  char* filling_;
  std::size_t used_ = 0;
  bool crlf_;
  std::int32_t columns_ = 1;
  std::int32_t column_ = 0;  // numbers on the line being written
  std::string separator_;
  std::future<void> draining_;
};

// The numbers of the results text's lines, in order.
std::vector<std::int32_t> ResultsRows(std::string_view results_text);

}  // namespace tallowby
