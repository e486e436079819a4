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
  collapsed.assign(style == PathStyle::Windows ? 2 : 1, separator);
  if (first_other != std::string_view::npos) {
    AppendCollapsingPairs(collapsed, path.substr(first_other), separator);
  }
  return collapsed;
}

std::string ResultsPath(std::string_view folder, PathStyle style) {
  std::string path(folder);
  path.push_back(PathSeparator(style));
  path.append("results.txt");
  return CollapseDoubledSeparators(path, style);
}

}  // namespace tallowby
