// The file system of Windows.
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
