#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "core/numbers/random_source.h"
#include "core/ports/failure.h"
#include "platform/windows/native_file_system.h"
#include "platform/windows/system_error.h"
#include "platform/windows/wide_text.h"

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

std::wstring FolderPart(const std::wstring& path) {
  const std::size_t separator = path.find_last_of(L"\\/:");
  return separator == std::wstring::npos ? std::wstring() : path.substr(0, separator + 1);
}

// Without long-path support Windows takes paths of fewer than MAX_PATH characters. Said plainly,
// rather than as "path not found", when the file itself would not fit.
void RefuseTooLong(const std::wstring& path) {
  if (path.size() < MAX_PATH) return;
  throw Failure("The path of " + Narrow(path) + " is " + std::to_string(path.size()) +
                    " characters long; Windows takes at most " + std::to_string(MAX_PATH - 1),
                ERROR_FILENAME_EXCED_RANGE);
}

// Opens a new file beside path with a name no other writer uses. The name is no longer than
// "results.txt", so any folder that can hold that file can hold it too. CREATE_NEW never opens
// an existing entry.
HANDLE CreateTemporaryBeside(const std::wstring& path, std::wstring& temporary_path) {
  RandomSource names;
  for (int attempt = 0; attempt < 16; ++attempt) {
    wchar_t name[16];
    std::swprintf(name, 16, L".~%09llx", static_cast<unsigned long long>(names.NextBits() >> 28));
    temporary_path = FolderPart(path) + name;
    HANDLE file = CreateFileW(temporary_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) return file;
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) ThrowSystemError(error);
  }
  ThrowSystemError(ERROR_FILE_EXISTS);
}

class WindowsReplacement final : public FileReplacement {
 public:
  explicit WindowsReplacement(std::wstring path)
      : path_(std::move(path)), file_(CreateTemporaryBeside(path_, temporary_path_)) {}
  ~WindowsReplacement() override {
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
    if (!committed_) DeleteFileW(temporary_path_.c_str());
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
    const DWORD old_attributes = GetFileAttributesW(path_.c_str());
    const bool was_read_only = old_attributes != INVALID_FILE_ATTRIBUTES &&
                               (old_attributes & FILE_ATTRIBUTE_READONLY) != 0 &&
                               (old_attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    if (was_read_only) {
      SetFileAttributesW(path_.c_str(), old_attributes & ~FILE_ATTRIBUTE_READONLY);
    }
    if (!MoveFileExW(temporary_path_.c_str(), path_.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      error = GetLastError();
      if (was_read_only) SetFileAttributesW(path_.c_str(), old_attributes);
      ThrowSystemError(error);
    }
    committed_ = true;
  }

 private:
  std::wstring path_;
  std::wstring temporary_path_;
  HANDLE file_;
  bool committed_ = false;
};

// A device (NUL, CON, a serial port) or a pipe is written where it is: a rename over it would
// fail, or replace it. It is never removed, whatever happens.
class InPlaceOutput final : public FileReplacement {
 public:
  explicit InPlaceOutput(const std::wstring& path)
      : file_(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {
    if (file_ == INVALID_HANDLE_VALUE) ThrowSystemError(GetLastError());
  }
  ~InPlaceOutput() override {
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
  }
  InPlaceOutput(const InPlaceOutput&) = delete;
  InPlaceOutput& operator=(const InPlaceOutput&) = delete;

  void Write(std::string_view bytes) override {
    if (const DWORD error = WriteAll(file_, bytes); error != 0) ThrowSystemError(error);
  }
  void Commit() override {
    const HANDLE file = file_;
    file_ = INVALID_HANDLE_VALUE;
    if (!CloseHandle(file)) ThrowSystemError(GetLastError());
  }

 private:
  HANDLE file_;
};

// Whether an existing output is a character device or a pipe rather than a file on a disk.
bool IsDeviceOrPipe(const std::wstring& path) {
  const HANDLE probe =
      CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (probe == INVALID_HANDLE_VALUE) return false;
  const DWORD type = GetFileType(probe);
  CloseHandle(probe);
  return type == FILE_TYPE_CHAR || type == FILE_TYPE_PIPE;
}

}  // namespace

bool NativeFileSystem::FolderExists(const std::string& path) {
  if (path.empty()) return false;
  const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool NativeFileSystem::FileExists(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  return !path.empty() &&
         GetFileAttributesExW(Widen(path).c_str(), GetFileExInfoStandard, &data) != 0;
}

bool NativeFileSystem::IsListedNormalFile(const std::string& path) {
  WIN32_FIND_DATAW found{};
  const HANDLE search = FindFirstFileW(Widen(path).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  constexpr DWORD kNotNormal =
      FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  return (found.dwFileAttributes & kNotNormal) == 0;
}

std::unique_ptr<FileReplacement> NativeFileSystem::BeginReplacement(
    const std::string& path, const KeepWaiting& /*keep_waiting*/) {
  const std::wstring wide = Widen(path);
  if (IsDeviceOrPipe(wide)) return std::make_unique<InPlaceOutput>(wide);
  RefuseTooLong(wide);
  // A folder in the way is found before anything is written, not at the final move.
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    ThrowSystemError(ERROR_ACCESS_DENIED);
  }
  return std::make_unique<WindowsReplacement>(wide);
}

std::uint64_t NativeFileSystem::PhysicalMemoryBytes() {
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  return GlobalMemoryStatusEx(&status) ? status.ullTotalPhys : 0;
}

}  // namespace tallowby
