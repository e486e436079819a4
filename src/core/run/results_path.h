// Where results.txt goes: the output folder as typed, a separator and the file name, with the
// separators fixed up the way the program always has.
#pragma once

#include <string>
#include <string_view>

namespace tallowby {

// How paths are written: Windows separates with '\' and keeps "\\server\share" network paths;
// everything else separates with '/'.
enum class PathStyle { Windows, Posix };

#ifdef _WIN32
inline constexpr PathStyle kNativePathStyle = PathStyle::Windows;
#else
inline constexpr PathStyle kNativePathStyle = PathStyle::Posix;
#endif

char PathSeparator(PathStyle style);

// Collapses doubled separators of the style in one left-to-right pass without overlap (so three
// become two). A leading run of two or more separators becomes exactly two on Windows, keeping a
// network path's prefix; a single leading one stays single there, and any leading run becomes
// exactly one elsewhere.
std::string CollapseDoubledSeparators(std::string_view path, PathStyle style = kNativePathStyle);

// The output folder as typed, the separator and "results.txt", fixed up as above.
std::string ResultsPath(std::string_view folder, PathStyle style = kNativePathStyle);

}  // namespace tallowby
