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
  void ReplaceFileAtomically(const std::string& path, std::string_view bytes) override;
  std::uint64_t PhysicalMemoryBytes() override;
};

}  // namespace tallowby
