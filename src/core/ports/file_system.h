// The few file-system questions and operations the program needs; each platform answers them.
//
// Paths are texts in the platform's narrow encoding: UTF-8 on Linux, the ANSI code page on
// Windows, as the program's texts cross into the system.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tallowby {

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // True exactly when the path's attributes can be read and they mark a folder. A file, an empty
  // text, a missing or malformed path all give false.
  virtual bool FolderExists(const std::string& path) = 0;

  // True when the modification time of the file at path can be read.
  virtual bool FileExists(const std::string& path) = 0;

  // True when a listing of the file's folder shows it as a normal file: not a folder, and not
  // hidden or a system file.
  virtual bool IsListedNormalFile(const std::string& path) = 0;

  // Replaces the file at path with exactly these bytes, atomically: they go to a new temporary
  // file in the same folder, which is flushed and then renamed over path, even when path is
  // read-only. On any failure the old file stays exactly as it was, no temporary file remains,
  // and Failure carries the system's reason and error number.
  virtual void ReplaceFileAtomically(const std::string& path, std::string_view bytes) = 0;

  // The machine's physical memory in bytes, or 0 when the system does not tell.
  virtual std::uint64_t PhysicalMemoryBytes() = 0;
};

}  // namespace tallowby
