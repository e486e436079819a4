#include "core/run/results_path.h"

namespace tallowby {

char PathSeparator(PathStyle style) {
  return style == PathStyle::Windows ? '\\' : '/';
}

namespace {

void AppendCollapsingPairs(std::string& out, std::string_view text, char separator) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    out.push_back(text[i]);
    if (text[i] == separator && i + 1 < text.size() && text[i + 1] == separator) ++i;
  }
}

}  // namespace

std::string CollapseDoubledSeparators(std::string_view path, PathStyle style) {
  const char separator = PathSeparator(style);
  std::string collapsed;
  collapsed.reserve(path.size() + 1);
  if (path.empty() || path.front() != separator) {
    AppendCollapsingPairs(collapsed, path, separator);
    return collapsed;
  }
  const std::size_t first_other = path.find_first_not_of(separator);
  // Two keep a network path's prefix; a single one names the current drive's root and stays one.
  const std::size_t leading = first_other == std::string_view::npos ? path.size() : first_other;
  const bool network = style == PathStyle::Windows && leading > 1;
  collapsed.assign(network ? 2 : 1, separator);
  if (first_other != std::string_view::npos) {
    AppendCollapsingPairs(collapsed, path.substr(first_other), separator);
  }
  return collapsed;
}

std::string ResultsPath(std::string_view folder, PathStyle style) {
  // A folder that is one separator alone would otherwise join the one added into a network
  // path's prefix.
  if (folder.size() == 1 && folder.front() == PathSeparator(style)) {
    return std::string(folder) + "results.txt";
  }
  std::string path(folder);
  path.push_back(PathSeparator(style));
  path.append("results.txt");
  return CollapseDoubledSeparators(path, style);
}

}  // namespace tallowby
