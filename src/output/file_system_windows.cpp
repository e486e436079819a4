#include <windows.h>

#include <string>

#include "gen/failure.h"
#include "gen/random_source.h"
#include "output/file_system.h"

namespace tallowby {

namespace {

std::string DescribeWindowsError(DWORD code) {
  char* buffer = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
  std::string text = length != 0 && buffer != nullptr ? std::string(buffer, length)
                                                      : "Windows error " + std::to_string(code);
  LocalFree(buffer);
  while (!text.empty() &&
         (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '.')) {
    text.pop_back();
  }
  return text;
}

[[noreturn]] void ThrowWindowsError(DWORD code) {
  throw Failure(DescribeWindowsError(code), static_cast<int>(code));
}

// Returns 0 or the error of the failed write. WriteFile takes at most 4 GiB minus one per call.
DWORD WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1U << 30));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), chunk, &written, nullptr)) return GetLastError();
    bytes.remove_prefix(written);
  }
  return 0;
}

HANDLE CreateTemporaryBeside(const std::string& path, std::string& temporary_path) {
  RandomSource names;
  for (int attempt = 0; attempt < 16; ++attempt) {
    char suffix[24];
    wsprintfA(suffix, ".%08lx%08lx.tmp", static_cast<unsigned long>(names.NextBits()),
              static_cast<unsigned long>(names.NextBits()));
    temporary_path = path + suffix;
    HANDLE file = CreateFileA(temporary_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) return file;
    if (GetLastError() != ERROR_FILE_EXISTS) ThrowWindowsError(GetLastError());
  }
  ThrowWindowsError(ERROR_FILE_EXISTS);
}

}  // namespace

bool FolderExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return !path.empty() && attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool FileExists(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  return !path.empty() && GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) != 0;
}

void ReplaceFileAtomically(const std::string& path, std::string_view bytes) {
  std::string temporary_path;
  HANDLE file = CreateTemporaryBeside(path, temporary_path);
  DWORD error = WriteAll(file, bytes);
  if (error == 0 && !FlushFileBuffers(file)) error = GetLastError();
  if (!CloseHandle(file) && error == 0) error = GetLastError();
  if (error != 0) {
    DeleteFileA(temporary_path.c_str());
    ThrowWindowsError(error);
  }
  // Windows refuses to replace a read-only file, so the flag is cleared for the move and put
  // back if the move fails, leaving the old file as it was.
  const DWORD old_attributes = GetFileAttributesA(path.c_str());
  const bool was_read_only = old_attributes != INVALID_FILE_ATTRIBUTES &&
                             (old_attributes & FILE_ATTRIBUTE_READONLY) != 0 &&
                             (old_attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
  if (was_read_only) SetFileAttributesA(path.c_str(), old_attributes & ~FILE_ATTRIBUTE_READONLY);
  if (!MoveFileExA(temporary_path.c_str(), path.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    error = GetLastError();
    if (was_read_only) SetFileAttributesA(path.c_str(), old_attributes);
    DeleteFileA(temporary_path.c_str());
    ThrowWindowsError(error);
  }
}

std::uint64_t PhysicalMemoryBytes() {
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  return GlobalMemoryStatusEx(&status) ? status.ullTotalPhys : 0;
}

}  // namespace tallowby
