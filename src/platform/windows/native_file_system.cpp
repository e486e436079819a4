#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>

#include "core/numbers/random_source.h"
#include "core/ports/failure.h"
#include "platform/windows/native_file_system.h"
#include "platform/windows/system_error.h"
#include "platform/windows/wide_text.h"

namespace tallowby {

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

class OwnedHandle {
 public:
  explicit OwnedHandle(HANDLE handle = INVALID_HANDLE_VALUE) : handle_(handle) {}
  ~OwnedHandle() {
    if (Valid()) CloseHandle(handle_);
  }
  OwnedHandle(OwnedHandle&& other) noexcept : handle_(other.Release()) {}
  OwnedHandle& operator=(OwnedHandle&& other) noexcept {
    std::swap(handle_, other.handle_);
    return *this;
  }
  bool Valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
  HANDLE Get() const { return handle_; }
  HANDLE Release() { return std::exchange(handle_, INVALID_HANDLE_VALUE); }

 private:
  HANDLE handle_;
};

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

// Where the opened file really is, every link on the way resolved, in the form the plain
// functions take; the \\?\ form only where the plain one would not fit. Empty when Windows cannot
// say (a volume without a drive letter).
std::wstring FinalPath(HANDLE file) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetFinalPathNameByHandleW(
        file, path.data(), static_cast<DWORD>(path.size()), VOLUME_NAME_DOS);
    if (length == 0) return {};
    const bool fits = length < path.size();
    path.resize(length);
    if (fits) break;
  }
  std::wstring plain = path;
  if (path.starts_with(L"\\\\?\\UNC\\")) {
    plain = L"\\\\" + path.substr(8);
  } else if (path.starts_with(L"\\\\?\\")) {
    plain = path.substr(4);
  }
  return plain.size() < MAX_PATH ? plain : path;
}

// The file that is the program's standard output, written through standard output's own handle,
// so a shell's >> appends rather than losing what the file held.
HANDLE StandardOutputIfSame(const BY_HANDLE_FILE_INFORMATION& file) {
  const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  BY_HANDLE_FILE_INFORMATION info{};
  if (output == nullptr || output == INVALID_HANDLE_VALUE ||
      GetFileType(output) != FILE_TYPE_DISK || !GetFileInformationByHandle(output, &info)) {
    return nullptr;
  }
  const bool same = info.dwVolumeSerialNumber == file.dwVolumeSerialNumber &&
                    info.nFileIndexHigh == file.nFileIndexHigh &&
                    info.nFileIndexLow == file.nFileIndexLow;
  return same ? output : nullptr;
}

// A name beside path that no other writer uses, no longer than "results.txt", so any folder
// that can hold that file can hold this one too.
std::wstring NameBeside(const std::wstring& path, RandomSource& names) {
  wchar_t name[16];
  std::swprintf(name, 16, L".~%09llx", static_cast<unsigned long long>(names.NextBits() >> 28));
  return FolderPart(path) + name;
}

// Opens a new file beside path. CREATE_NEW never opens an existing entry. Returns the handle, or
// INVALID_HANDLE_VALUE with the error.
HANDLE CreateTemporaryBeside(const std::wstring& path, DWORD attributes,
                             std::wstring& temporary_path, DWORD& error) {
  RandomSource names;
  for (int attempt = 0; attempt < 16; ++attempt) {
    temporary_path = NameBeside(path, names);
    HANDLE file = CreateFileW(temporary_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              attributes, nullptr);
    if (file != INVALID_HANDLE_VALUE) return file;
    error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return INVALID_HANDLE_VALUE;
  }
  return INVALID_HANDLE_VALUE;
}

// ReplaceFileW is given full paths, also where Windows cannot say where the file is (Wine's,
// without a backup name, fails a relative one with ERROR_DIRECTORY).
std::wstring FullPath(const std::wstring& path) {
  std::wstring full(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0) return path;
    const bool fits = length < full.size();
    full.resize(length);
    if (fits) return full;
  }
}

// The attributes SetFileAttributesW takes.
constexpr DWORD kSettableAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                      FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                      FILE_ATTRIBUTE_NOT_CONTENT_INDEXED | FILE_ATTRIBUTE_OFFLINE |
                                      FILE_ATTRIBUTE_TEMPORARY;
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

bool SetAttributes(const std::wstring& path, DWORD attributes) {
  attributes &= kSettableAttributes;
  return SetFileAttributesW(path.c_str(), attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes);
}

// ReplaceFileW has no write-through of its own; a flush of the moved file is what
// MOVEFILE_WRITE_THROUGH does. The new file is in place already, so a failure changes nothing.
void FlushToDisk(const std::wstring& path) {
  const OwnedHandle file(
      CreateFileW(path.c_str(), GENERIC_WRITE, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr));
  if (file.Valid()) FlushFileBuffers(file.Get());
}

// A name beside path that nothing has, for the old file while it is being replaced.
std::wstring UnusedNameBeside(const std::wstring& path) {
  RandomSource names;
  for (int attempt = 0; attempt < 16; ++attempt) {
    std::wstring name = NameBeside(path, names);
    if (GetFileAttributesW(name.c_str()) == INVALID_FILE_ATTRIBUTES &&
        GetLastError() == ERROR_FILE_NOT_FOUND) {
      return name;
    }
  }
  ThrowSystemError(ERROR_FILE_EXISTS);
}

// The new file at path takes the old one's read-only, hidden and system attributes: Windows
// carries them over but for the read-only one, cleared for the call; Wine carries none.
void KeepOldAttributes(const std::wstring& path, DWORD old_attributes) {
  const DWORD current = GetFileAttributesW(path.c_str());
  if (current == INVALID_FILE_ATTRIBUTES) return;
  const DWORD wanted = (current & ~kKeptAttributes) | (old_attributes & kKeptAttributes);
  if (wanted != current) SetAttributes(path, wanted);
}

class WindowsReplacement final : public FileReplacement {
 public:
  // placeholder: the target is an empty file made for this run, removed if the run fails.
  WindowsReplacement(std::wstring path, std::wstring temporary_path, HANDLE file, bool placeholder)
      : path_(std::move(path)),
        temporary_path_(std::move(temporary_path)),
        file_(file),
        placeholder_(placeholder) {}
  ~WindowsReplacement() override {
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
    if (committed_) return;
    DeleteFileW(temporary_path_.c_str());
    if (placeholder_) DeleteFileW(path_.c_str());
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
    const DWORD old_attributes =
        placeholder_ ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(path_.c_str());
    if (old_attributes == INVALID_FILE_ATTRIBUTES || !ReplaceOldFile(old_attributes)) {
      MoveIntoPlace();
    }
    committed_ = true;
  }

 private:
  // Where no old file is kept, the new one is renamed to the name. Write through: the move is on
  // the disk when it returns, and nothing that can fail follows it.
  void MoveIntoPlace() {
    if (!MoveFileExW(temporary_path_.c_str(), path_.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      ThrowSystemError(GetLastError());
    }
  }

  // ReplaceFileW gives the new file the old one's owner, access list, attributes and streams.
  // With a backup name every failure leaves both files where they can be found: either the old
  // file is back at its name and the failure is reported, or the new one is in place. False when
  // the old file went away meanwhile.
  bool ReplaceOldFile(DWORD old_attributes) {
    // A folder put in the file's place meanwhile: ReplaceFileW would move it aside.
    if ((old_attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) ThrowSystemError(ERROR_ACCESS_DENIED);
    // Windows refuses to replace a read-only file: the flag is cleared for the call alone and
    // put back on whichever file then holds the name.
    const std::wstring backup = UnusedNameBeside(path_);
    const bool read_only = (old_attributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (read_only && !SetAttributes(path_, old_attributes & ~FILE_ATTRIBUTE_READONLY)) {
      ThrowSystemError(GetLastError());
    }
    // Ignoring merge errors, as the owner is kept only where the process may set it: a share
    // that keeps no access lists still takes the results.
    if (ReplaceFileW(path_.c_str(), temporary_path_.c_str(), backup.c_str(),
                     REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
      FlushToDisk(path_);
      KeepOldAttributes(path_, old_attributes);
      DeleteFileW(backup.c_str());
      return true;
    }
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND &&
        GetFileAttributesW(path_.c_str()) == INVALID_FILE_ATTRIBUTES) {
      return false;
    }
    // The old file has its backup name and the new one its own: the new one is moved to the
    // name, as the run meant, or else the old one back.
    if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) {
      if (MoveFileExW(temporary_path_.c_str(), path_.c_str(), MOVEFILE_WRITE_THROUGH)) {
        KeepOldAttributes(path_, old_attributes);
        DeleteFileW(backup.c_str());
        return true;
      }
      // Should that fail too, the old file is kept under the backup name, which the report gives.
      if (!MoveFileExW(backup.c_str(), path_.c_str(), MOVEFILE_WRITE_THROUGH)) {
        if (read_only) SetAttributes(backup, old_attributes);
        throw Failure(DescribeSystemError(error) + "; the old file is kept as " + Narrow(backup),
                      static_cast<int>(error));
      }
    }
    // Any other failure, ERROR_UNABLE_TO_MOVE_REPLACEMENT and ERROR_UNABLE_TO_REMOVE_REPLACED
    // included, leaves both files at their own names when a backup name is given.
    if (read_only) SetAttributes(path_, old_attributes);
    ThrowSystemError(error);
  }

  std::wstring path_;
  std::wstring temporary_path_;
  HANDLE file_;
  bool placeholder_;
  bool committed_ = false;
};

// An output written where it is: a device (NUL, CON, a serial port) or a pipe, which a rename
// would fail on or replace; a file with other names, which all show the new numbers; a file in
// a folder that takes no new file; standard output. It is never removed, whatever happens.
class InPlaceOutput final : public FileReplacement {
 public:
  // owned: a handle opened for this output, overlapped; otherwise one that stays open after.
  InPlaceOutput(HANDLE file, bool owned, const KeepWaiting& keep_waiting)
      : file_(file), owned_(owned), keep_waiting_(keep_waiting) {
    if (owned_) event_ = OwnedHandle(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (owned_ && !event_.Valid()) ThrowSystemError(GetLastError());
  }
  ~InPlaceOutput() override {
    if (owned_ && file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
  }
  InPlaceOutput(const InPlaceOutput&) = delete;
  InPlaceOutput& operator=(const InPlaceOutput&) = delete;

  // The old content goes before the new is written, as a shell's > does.
  void Truncate() {
    FILE_END_OF_FILE_INFO end{};
    if (!SetFileInformationByHandle(file_, FileEndOfFileInfo, &end, sizeof end)) {
      ThrowSystemError(GetLastError());
    }
  }

  void Write(std::string_view bytes) override {
    if (!owned_) {
      if (const DWORD error = WriteAll(file_, bytes); error != 0) ThrowSystemError(error);
      return;
    }
    while (!bytes.empty())
      bytes.remove_prefix(WriteSome(bytes));
  }

  void Commit() override {
    DWORD error = 0;
    // A pipe's flush would wait for its reader to read everything; a device has nothing to flush.
    if (GetFileType(file_) == FILE_TYPE_DISK && !FlushFileBuffers(file_)) error = GetLastError();
    if (owned_) {
      const HANDLE file = std::exchange(file_, INVALID_HANDLE_VALUE);
      if (!CloseHandle(file) && error == 0) error = GetLastError();
    }
    if (error != 0) ThrowSystemError(error);
  }

 private:
  // One overlapped write at the output's own offset (pipes and devices ignore it). A pipe whose
  // reader reads nothing leaves it pending; keep_waiting is asked every tenth of a second.
  DWORD WriteSome(std::string_view bytes) {
    OVERLAPPED overlapped{};
    overlapped.Offset = static_cast<DWORD>(offset_);
    overlapped.OffsetHigh = static_cast<DWORD>(offset_ >> 32);
    overlapped.hEvent = event_.Get();
    const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1U << 30));
    DWORD written = 0;
    if (!WriteFile(file_, bytes.data(), chunk, nullptr, &overlapped)) {
      const DWORD error = GetLastError();
      if (error != ERROR_IO_PENDING) ThrowSystemError(error);
      while (WaitForSingleObject(event_.Get(), keep_waiting_ ? 100 : INFINITE) == WAIT_TIMEOUT) {
        if (keep_waiting_()) continue;
        CancelIoEx(file_, &overlapped);
        GetOverlappedResult(file_, &overlapped, &written, TRUE);
        ThrowSystemError(ERROR_OPERATION_ABORTED);
      }
    }
    if (!GetOverlappedResult(file_, &overlapped, &written, TRUE)) {
      ThrowSystemError(GetLastError());
    }
    offset_ += written;
    return written;
  }

  HANDLE file_;
  bool owned_;
  KeepWaiting keep_waiting_;
  OwnedHandle event_;
  std::uint64_t offset_ = 0;
};

// A link whose target does not exist yet: the new file goes where the link points. Making it
// through the link (Windows follows a link when it creates) is the one way to learn where that is
// without reading the link's text. Empty when path is no link.
std::wstring CreateThroughDanglingLink(const std::wstring& path) {
  const OwnedHandle link(CreateFileW(path.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                                     FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                     nullptr));
  FILE_ATTRIBUTE_TAG_INFO tag{};
  if (!link.Valid() ||
      !GetFileInformationByHandleEx(link.Get(), FileAttributeTagInfo, &tag, sizeof tag) ||
      (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0 ||
      !IsReparseTagNameSurrogate(tag.ReparseTag)) {
    return {};
  }
  const OwnedHandle created(CreateFileW(path.c_str(), GENERIC_WRITE | DELETE, kShareAll, nullptr,
                                        CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!created.Valid()) ThrowSystemError(GetLastError());
  std::wstring target = FinalPath(created.Get());
  if (target.empty()) {
    FILE_DISPOSITION_INFO remove{TRUE};
    SetFileInformationByHandle(created.Get(), FileDispositionInfo, &remove, sizeof remove);
    ThrowSystemError(ERROR_PATH_NOT_FOUND);
  }
  return target;
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
    const std::string& path, const KeepWaiting& keep_waiting) {
  const std::wstring wide = Widen(path);
  RefuseTooLong(wide);
  // The output is opened once, for writing, and what opened decides what it is: a pipe server
  // that takes one client at a time has no second instance for a later open.
  OwnedHandle output(CreateFileW(wide.c_str(), GENERIC_WRITE, kShareAll, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_OVERLAPPED, nullptr));
  const DWORD open_error = output.Valid() ? 0 : GetLastError();
  if (output.Valid() && GetFileType(output.Get()) != FILE_TYPE_DISK) {
    return std::make_unique<InPlaceOutput>(output.Release(), true, keep_waiting);
  }
  OwnedHandle opened;
  if (open_error == ERROR_ACCESS_DENIED || open_error == ERROR_SHARING_VIOLATION) {
    // Read-only, held by another program, or a folder: still replaced by rename, found as it is.
    opened = OwnedHandle(CreateFileW(wide.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                                     FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  } else if (open_error != 0 && open_error != ERROR_FILE_NOT_FOUND) {
    ThrowSystemError(open_error);  // a busy pipe, a missing folder, a name Windows refuses
  }
  const HANDLE existing = output.Valid() ? output.Get() : opened.Get();

  // A link is written through to its target, and stays a link.
  std::wstring target = wide;
  bool placeholder = false;
  BY_HANDLE_FILE_INFORMATION info{};
  if (existing != INVALID_HANDLE_VALUE && GetFileInformationByHandle(existing, &info)) {
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      ThrowSystemError(ERROR_ACCESS_DENIED);  // found before anything is written
    }
    if (const HANDLE standard_output = StandardOutputIfSame(info)) {
      return std::make_unique<InPlaceOutput>(standard_output, false, keep_waiting);
    }
    if (output.Valid()) {
      // Every name of the file shows the new numbers.
      if (info.nNumberOfLinks > 1) {
        auto in_place = std::make_unique<InPlaceOutput>(output.Release(), true, keep_waiting);
        in_place->Truncate();
        return in_place;
      }
    }
    if (std::wstring final_path = FinalPath(existing); !final_path.empty()) target = final_path;
  } else if (open_error == ERROR_FILE_NOT_FOUND) {
    if (std::wstring linked = CreateThroughDanglingLink(wide); !linked.empty()) {
      target = linked;
      placeholder = true;
    }
  }
  opened = OwnedHandle();

  target = FullPath(target);

  // Hidden and system files stay so from the start; the read-only flag goes on at the end.
  const DWORD attributes =
      (info.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0
          ? info.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)
          : FILE_ATTRIBUTE_NORMAL;
  std::wstring temporary_path;
  DWORD error = ERROR_FILE_EXISTS;
  const HANDLE temporary = CreateTemporaryBeside(target, attributes, temporary_path, error);
  if (temporary != INVALID_HANDLE_VALUE) {
    return std::make_unique<WindowsReplacement>(target, temporary_path, temporary, placeholder);
  }
  if (placeholder) DeleteFileW(target.c_str());
  // A folder that takes no new file, with a file in it that may be written: written in place,
  // as the program always did.
  if (error == ERROR_ACCESS_DENIED && output.Valid()) {
    auto in_place = std::make_unique<InPlaceOutput>(output.Release(), true, keep_waiting);
    in_place->Truncate();
    return in_place;
  }
  ThrowSystemError(error);
}

std::uint64_t NativeFileSystem::PhysicalMemoryBytes() {
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  return GlobalMemoryStatusEx(&status) ? status.ullTotalPhys : 0;
}

}  // namespace tallowby
