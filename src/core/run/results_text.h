// The results text: every number's decimal text followed by CR LF, in drawing order.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tallowby {

using ResultsText = std::string;

// Appends n's decimal text ("-" and digits) and CR LF.
void AppendNumberLine(ResultsText& text, std::int32_t n);

// The most characters one line can take for numbers between low and high, CR LF included.
std::size_t MaxLineLength(std::int64_t low, std::int64_t high);

// The numbers of the results text's lines, in order.
std::vector<std::int32_t> ResultsRows(std::string_view results_text);

}  // namespace tallowby
