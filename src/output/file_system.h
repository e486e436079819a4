// The few file-system questions and operations the program needs, for each platform.
//
// Paths are texts in the platform's narrow encoding: UTF-8 on Linux, the ANSI code page on
// Windows, as the programs' texts cross into the system.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tallowby {

// True exactly when the path's attributes can be read and they mark a folder. A file, an empty
// text, a missing or malformed path all give false.
bool FolderExists(const std::string& path);

// True when the modification time of the file at path can be read.
bool FileExists(const std::string& path);

// Replaces the file at path with exactly these bytes, atomically: they go to a new temporary
// file in the same folder, which is flushed and then renamed over path, even when path is
// read-only. On any failure the old file stays exactly as it was, no temporary file remains, and
// Failure carries the system's reason and error number.
void ReplaceFileAtomically(const std::string& path, std::string_view bytes);

// The machine's physical memory in bytes, or 0 when the system does not tell.
std::uint64_t PhysicalMemoryBytes();

}  // namespace tallowby
