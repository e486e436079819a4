// The results path from any folder text, in both path styles: the folder's text kept, each run
// of separators shortened as the program always has, and results.txt last. The first byte picks
// the style.
#include <algorithm>
#include <cstdint>
#include <string>

#include "core/run/results_path.h"
#include "fuzz_check.h"

using tallowby::PathStyle;
using tallowby::fuzz::Check;

namespace {

// Run by run: a leading run of two or more separators becomes exactly two on Windows (a network
// path's prefix), a single one stays single (the current drive's root), and any leading run
// becomes one elsewhere; any other run of n becomes n / 2 rounded up, as a single pass that joins
// pairs leaves it.
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
    const std::size_t kept = i > 0                         ? (run + 1) / 2
                             : style == PathStyle::Windows ? std::min<std::size_t>(run, 2)
                                                           : 1;
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
  // A folder of one separator is the root, whose separator the file name shares.
  const std::string expected = folder == file_name.substr(0, 1)
                                   ? folder + "results.txt"
                                   : Expected(folder + file_name, style);
  Check(path == expected, "results path built wrongly", folder);
  Check(path.ends_with(file_name), "results.txt is not last", folder);
  Check(path.size() <= folder.size() + file_name.size(), "the path grew", folder);
  return 0;
}
