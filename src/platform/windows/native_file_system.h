// The file system of Windows.
//
// An output is opened once, for writing, and that handle says what it is: a pipe or device is
// written through it (a pipe server may take only one client), a file with several names or in a
// folder that takes no new file is truncated and written through it, and the file that is
// already standard output is written through standard output. Any other file, at the end of
// every link, is replaced with ReplaceFileW, keeping the old file's owner, access list,
// attributes (read-only included) and streams; where there is no old file, the new one is
// renamed into place.
#pragma once

#include "core/ports/file_system.h"

namespace tallowby {

class NativeFileSystem final : public FileSystem {
 public:
  bool FolderExists(const std::string& path) override;
  bool FileExists(const std::string& path) override;
  // Hidden and system files are not normal files.
  bool IsListedNormalFile(const std::string& path) override;
  std::unique_ptr<FileReplacement> BeginReplacement(const std::string& path,
                                                    const KeepWaiting& keep_waiting) override;
  std::uint64_t PhysicalMemoryBytes() override;
};

}  // namespace tallowby
