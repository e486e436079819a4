// The file system of Linux and other POSIX systems.
#pragma once

#include "core/ports/file_system.h"

namespace tallowby {

class NativeFileSystem final : public FileSystem {
 public:
  // Both look through folders whose paths are longer than the system takes in one call.
  bool FolderExists(const std::string& path) override;
  bool FolderIsMissing(const std::string& path) override;
  bool FileExists(const std::string& path) override;
  // Hidden files are those whose names begin with a dot.
  bool IsListedNormalFile(const std::string& path) override;
  std::unique_ptr<FileReplacement> BeginReplacement(const std::string& path,
                                                    const KeepWaiting& keep_waiting) override;
  std::uint64_t PhysicalMemoryBytes() override;
};

}  // namespace tallowby
