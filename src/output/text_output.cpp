#include "output/text_output.h"

#include <algorithm>
#include <charconv>

#include "output/file_system.h"

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

std::string NormalizeBackslashes(std::string_view path, PathStyle style) {
  const char separator = PathSeparator(style);
  std::string normalized;
  normalized.reserve(path.size() + 1);
  if (path.empty() || path.front() != separator) {
    AppendCollapsingPairs(normalized, path, separator);
    return normalized;
  }
  const std::size_t first_other = path.find_first_not_of(separator);
  normalized.assign(style == PathStyle::Windows ? 2 : 1, separator);
  if (first_other != std::string_view::npos) {
    AppendCollapsingPairs(normalized, path.substr(first_other), separator);
  }
  return normalized;
}

std::string ResultsPath(std::string_view folder, PathStyle style) {
  std::string path(folder);
  path.push_back(PathSeparator(style));
  path.append("results.txt");
  return NormalizeBackslashes(path, style);
}

void WriteResultsFile(std::string_view text, const std::string& path) {
  ReplaceFileAtomically(path, text);
}

}  // namespace tallowby
