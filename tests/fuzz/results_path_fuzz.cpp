// The results path from any folder text, in both path styles: the folder's text kept, each run
// of separators shortened as the program always has, and results.txt last. The first byte picks
// the style.
#include <cstdint>
#include <string>

#include "core/run/results_path.h"
#include "fuzz_check.h"

using tallowby::PathStyle;
using tallowby::fuzz::Check;

namespace {

// Run by run: a leading run of separators becomes exactly two on Windows (a network path's
// prefix) and one elsewhere; any other run of n becomes n / 2 rounded up, as a single pass that
// joins pairs leaves it.
std::string Expected(std::string_view path, PathStyle style) {
  const char separator = tallowby::PathSeparator(style);
  std::string expected;
  for (std::size_t i = 0; i < path.size();) {
    std::size_t run = 0;
    while (i + run < path.size() && path[i + run] == separator)
      ++run;
    if (run == 0) {
      expected += path[i++];
      continue;
    }
    const std::size_t kept = i > 0 ? (run + 1) / 2 : style == PathStyle::Windows ? 2 : 1;
    expected.append(kept, separator);
    i += run;
  }
  return expected;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const PathStyle style = data[0] % 2 == 0 ? PathStyle::Windows : PathStyle::Posix;
  const std::string folder(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::string file_name = std::string(1, tallowby::PathSeparator(style)) + "results.txt";

  Check(tallowby::CollapseDoubledSeparators(folder, style) == Expected(folder, style),
        "separators collapsed wrongly", folder);
  const std::string path = tallowby::ResultsPath(folder, style);
  Check(path == Expected(folder + file_name, style), "results path built wrongly", folder);
  Check(path.ends_with(file_name), "results.txt is not last", folder);
  // Only a Windows folder that starts with one separator gains one: "\x" becomes "\\x".
  Check(path.size() <= folder.size() + file_name.size() + 1, "the path grew", folder);
  return 0;
}
