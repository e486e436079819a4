// The text-file output: the results text, the path of results.txt and the file itself.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tallowby {

// Every number's decimal text followed by CR LF, in drawing order.
using ResultsText = std::string;

// Appends n's decimal text ("-" and digits) and CR LF.
void AppendNumberLine(ResultsText& text, std::int32_t n);

// The most characters one line can take for numbers between low and high, CR LF included.
std::size_t MaxLineLength(std::int64_t low, std::int64_t high);

// How paths are written: Windows separates with '\' and keeps "\\server\share" network paths;
// everything else separates with '/'.
enum class PathStyle { Windows, Posix };

#ifdef _WIN32
inline constexpr PathStyle kNativePathStyle = PathStyle::Windows;
#else
inline constexpr PathStyle kNativePathStyle = PathStyle::Posix;
#endif

char PathSeparator(PathStyle style);

// Collapses doubled separators in one left-to-right pass without overlap (so three become two).
// A leading run of separators becomes exactly two on Windows, keeping a network path's prefix,
// and exactly one elsewhere.
std::string NormalizeBackslashes(std::string_view path, PathStyle style = kNativePathStyle);

// The output folder as typed, the separator and "results.txt", fixed up as above.
std::string ResultsPath(std::string_view folder, PathStyle style = kNativePathStyle);

// Writes text as the whole new content of path, replacing an old file atomically, read-only or
// not; on failure the old file is untouched. Throws Failure with the system's reason.
void WriteResultsFile(std::string_view text, const std::string& path);

}  // namespace tallowby
