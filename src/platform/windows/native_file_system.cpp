#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "core/numbers/random_source.h"
#include "platform/windows/native_file_system.h"
#include "platform/windows/system_error.h"

namespace tallowby {

namespace {

// Returns 0 or the error of the failed write. WriteFile takes less than 4 GiB per call.
DWORD WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1U << 30));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), chunk, &written, nullptr)) return GetLastError();
    bytes.remove_prefix(written);
  }
  return 0;
}

// Opens a new file beside path with a name no other writer uses: CREATE_NEW never opens an
// existing entry.
HANDLE CreateTemporaryBeside(const std::string& path, std::string& temporary_path) {
  RandomSource names;
  for (int attempt = 0; attempt < 16; ++attempt) {
    char suffix[24];
    std::snprintf(suffix, sizeof suffix, ".%016llx.tmp",
                  static_cast<unsigned long long>(names.NextBits()));
    temporary_path = path + suffix;
    HANDLE file = CreateFileA(temporary_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) return file;
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) ThrowSystemError(error);
  }
  ThrowSystemError(ERROR_FILE_EXISTS);
}

class WindowsReplacement final : public FileReplacement {
 public:
  explicit WindowsReplacement(std::string path)
      : path_(std::move(path)), file_(CreateTemporaryBeside(path_, temporary_path_)) {}
  ~WindowsReplacement() override {
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
    if (!committed_) DeleteFileA(temporary_path_.c_str());
  }
  WindowsReplacement(const WindowsReplacement&) = delete;
  WindowsReplacement& operator=(const WindowsReplacement&) = delete;

  void Write(std::string_view bytes) override {
    if (const DWORD error = WriteAll(file_, bytes); error != 0) ThrowSystemError(error);
  }

  void Commit() override {
    DWORD error = FlushFileBuffers(file_) ? 0 : GetLastError();
    const HANDLE file = file_;
    file_ = INVALID_HANDLE_VALUE;
    if (!CloseHandle(file) && error == 0) error = GetLastError();
    if (error != 0) ThrowSystemError(error);
    // Windows refuses to move over a read-only file (Wine allows it), so the flag is cleared for
    // the move and put back if the move fails, leaving the old file exactly as it was. Write
    // through: the move is on the disk when it returns.
    const DWORD old_attributes = GetFileAttributesA(path_.c_str());
    const bool was_read_only = old_attributes != INVALID_FILE_ATTRIBUTES &&
                               (old_attributes & FILE_ATTRIBUTE_READONLY) != 0 &&
                               (old_attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    if (was_read_only) {
      SetFileAttributesA(path_.c_str(), old_attributes & ~FILE_ATTRIBUTE_READONLY);
    }
    if (!MoveFileExA(temporary_path_.c_str(), path_.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      error = GetLastError();
      if (was_read_only) SetFileAttributesA(path_.c_str(), old_attributes);
      ThrowSystemError(error);
    }
    committed_ = true;
  }

 private:
  std::string path_;
  std::string temporary_path_;
  HANDLE file_;
  bool committed_ = false;
};

}  // namespace

bool NativeFileSystem::FolderExists(const std::string& path) {
  if (path.empty()) return false;
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool NativeFileSystem::FileExists(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  return !path.empty() && GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) != 0;
}

bool NativeFileSystem::IsListedNormalFile(const std::string& path) {
  WIN32_FIND_DATAA found{};
  const HANDLE search = FindFirstFileA(path.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  constexpr DWORD kNotNormal =
      FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  return (found.dwFileAttributes & kNotNormal) == 0;
}

std::unique_ptr<FileReplacement> NativeFileSystem::BeginReplacement(const std::string& path) {
  return std::make_unique<WindowsReplacement>(path);
}

std::uint64_t NativeFileSystem::PhysicalMemoryBytes() {
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  return GlobalMemoryStatusEx(&status) ? status.ullTotalPhys : 0;
}

}  // namespace tallowby
