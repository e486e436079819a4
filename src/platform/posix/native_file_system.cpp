#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <mutex>
#include <string>

#include "core/numbers/random_source.h"
#include "core/ports/failure.h"
#include "platform/posix/native_file_system.h"

namespace tallowby {

namespace {

[[noreturn]] void ThrowErrno(int error_number) {
  throw Failure(DescribeErrno(error_number), error_number);
}

// Returns 0 or the errno of the failed write.
int WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return 0;
}

std::string FolderPart(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Opens a new file beside path with a name no other writer uses. The name is no longer than
// "results.txt", so any folder that can hold that file can hold it too. O_EXCL never follows or
// reuses an existing entry. A new file takes mode 0666 and the user's umask, as any new file; one
// that replaces a file is made private until it has taken over the old file's permissions.
int CreateTemporaryBeside(const std::string& path, std::string& temporary_path, mode_t mode) {
  RandomSource names;
  for (int attempt = 0; attempt < 16; ++attempt) {
    char name[16];
    std::snprintf(name, sizeof name, ".~%09llx",
                  static_cast<unsigned long long>(names.NextBits() >> 28));
    temporary_path = FolderPart(path) + name;
    const int fd = ::open(temporary_path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd >= 0) return fd;
    if (errno != EEXIST) ThrowErrno(errno);
  }
  ThrowErrno(EEXIST);
}

// The folder's entries are flushed after the rename, so that it survives a power cut. The folder is
// opened before the rename, as nothing that can fail may come after it: a folder the user may
// write but not read cannot be flushed, and the rename still stands. -1 when it cannot be opened.
int OpenFolderOf(const std::string& path) {
  const std::string folder = FolderPart(path).empty() ? std::string(".") : FolderPart(path);
  return ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

// The text of a link, however long: readlink cuts it silently at the buffer's end, and the size
// lstat gives is 0 or a guess for the links under /proc.
std::string ReadLink(const std::string& path) {
  std::string target(256, '\0');
  for (;;) {
    const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
    if (length < 0) ThrowErrno(errno);
    if (static_cast<std::size_t>(length) < target.size()) {
      target.resize(static_cast<std::size_t>(length));
      return target;
    }
    target.resize(target.size() * 2);
  }
}

// The file a path names once its symbolic links are followed, as `sort -o` writes through them:
// the link stays a link, and its target is what gets replaced. The target need not exist. The
// caller checks that the name found is the file the kernel opens: a link's text can name a pipe
// ("pipe:[N]") or a file since removed.
std::string FollowLinks(std::string path) {
  for (int hop = 0; hop < 40; ++hop) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return path;
    const std::string target = ReadLink(path);
    path = target.starts_with('/') ? target : FolderPart(path) + target;
  }
  ThrowErrno(ELOOP);
}

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Writes everything, waiting for a reader that is slow to take it. A descriptor opened without
// O_NONBLOCK simply blocks in write(); one opened with it is polled, and keep_waiting decides how
// long.
void WriteWaiting(int fd, std::string_view bytes, const KeepWaiting& keep_waiting) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written >= 0) {
      bytes.remove_prefix(static_cast<std::size_t>(written));
      continue;
    }
    if (errno == EINTR) continue;
    if (errno != EAGAIN && errno != EWOULDBLOCK) ThrowErrno(errno);
    pollfd ready{fd, POLLOUT, 0};
    if (::poll(&ready, 1, 100) == 0 && keep_waiting && !keep_waiting()) {
      throw Failure("Stopped while waiting for the output to take the numbers");
    }
  }
}

// An output written where it is: anything that is no regular file (a device, a FIFO, a terminal),
// which renaming a file over would replace (the system's /dev/null) or leave its reader without
// the numbers; a regular file with other names, which should all show the new numbers; and a
// file in a folder where no temporary file can be made. Never renamed over or removed.
class InPlaceOutput final : public FileReplacement {
 public:
  InPlaceOutput(int fd, KeepWaiting keep_waiting)
      : fd_(fd), keep_waiting_(std::move(keep_waiting)) {}
  ~InPlaceOutput() override {
    if (fd_ >= 0) ::close(fd_);
  }
  InPlaceOutput(const InPlaceOutput&) = delete;
  InPlaceOutput& operator=(const InPlaceOutput&) = delete;

  void Write(std::string_view bytes) override { WriteWaiting(fd_, bytes, keep_waiting_); }
  void Commit() override {
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 && errno != EINTR) ThrowErrno(errno);
  }

 private:
  int fd_;
  KeepWaiting keep_waiting_;
};

// The file that is already the program's standard output is written through it, so that a
// shell's `>> file` appends and `> file` writes from where the shell left it, as `--output -`
// does. Standard output stays open.
class StandardOutput final : public FileReplacement {
 public:
  void Write(std::string_view bytes) override { WriteWaiting(STDOUT_FILENO, bytes, {}); }
  void Commit() override {}
};

// What a new file takes over from the regular file it replaces: its owner and group where the
// process may set them (as root), or the group alone where the user belongs to it, and then its
// permission bits, which fchown may have cut, so that a private file stays private.
void TakeOverOwnership(int fd, const struct stat& old) {
  if (::fchown(fd, old.st_uid, old.st_gid) != 0 &&
      ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0) {
    // Neither may be set: the writer owns the new file, as any file it makes.
  }
  if (::fchmod(fd, old.st_mode & 07777) != 0) ThrowErrno(errno);
}

class PosixReplacement final : public FileReplacement {
 public:
  PosixReplacement(std::string path, int fd, std::string temporary_path)
      : path_(std::move(path)), temporary_path_(std::move(temporary_path)), fd_(fd) {}
  ~PosixReplacement() override {
    if (fd_ >= 0) ::close(fd_);
    if (!committed_) ::unlink(temporary_path_.c_str());
  }
  PosixReplacement(const PosixReplacement&) = delete;
  PosixReplacement& operator=(const PosixReplacement&) = delete;

  void Write(std::string_view bytes) override {
    if (const int error_number = WriteAll(fd_, bytes); error_number != 0) ThrowErrno(error_number);
    written_ += bytes.size();
#ifdef __linux__
    // The disk starts on what is written while the numbers are still drawn, so the flush at the
    // end finds little left to do. Only a hint: a failure here shows again at that flush.
    if (written_ - started_ >= kWritebackStep) {
      ::sync_file_range(fd_, static_cast<off_t>(started_), static_cast<off_t>(written_ - started_),
                        SYNC_FILE_RANGE_WRITE);
      started_ = written_;
    }
#endif
  }

  void Commit() override {
    int error_number = ::fsync(fd_) == 0 ? 0 : errno;
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 && error_number == 0 && errno != EINTR) error_number = errno;
    if (error_number != 0) ThrowErrno(error_number);
    const int folder = OpenFolderOf(path_);
    // rename() replaces the directory entry, so a read-only results.txt is replaced like any
    // other. Once it has, the new file is there and the run has succeeded: the folder's flush is
    // only for a power cut, and its failure changes nothing the user could act on.
    if (::rename(temporary_path_.c_str(), path_.c_str()) != 0) {
      error_number = errno;
      if (folder >= 0) ::close(folder);
      ThrowErrno(error_number);
    }
    committed_ = true;
    if (folder >= 0) {
      ::fsync(folder);
      ::close(folder);
    }
  }

 private:
  static constexpr std::uint64_t kWritebackStep = std::uint64_t{8} << 20;

  std::string path_;
  std::string temporary_path_;
  int fd_;
  bool committed_ = false;
  std::uint64_t written_ = 0;
  std::uint64_t started_ = 0;  // where the writeback already asked for ends
};

// Opens an output that is no regular file by the name given, which the kernel resolves as it
// resolved it for stat: /dev/stdout and /dev/fd/N reach the pipe or terminal they stand for.
// With keep_waiting, a FIFO nobody reads is refused at once instead of blocking the caller.
std::unique_ptr<FileReplacement> OpenInPlace(const std::string& path, const struct stat& status,
                                             int extra_flags, const KeepWaiting& keep_waiting) {
  const int flags = O_WRONLY | O_CLOEXEC | O_NOCTTY | extra_flags | (keep_waiting ? O_NONBLOCK : 0);
  const int fd = ::open(path.c_str(), flags);
  if (fd < 0) {
    if (errno == ENXIO && S_ISFIFO(status.st_mode)) {
      throw Failure("Nothing is reading from the FIFO " + path, ENXIO);
    }
    ThrowErrno(errno);
  }
  return std::make_unique<InPlaceOutput>(fd, keep_waiting);
}

// Whether a new file renamed into the folder could take the place of the old one: in a folder
// with the sticky bit, only the owner of the file or of the folder (or root) may replace it.
bool MayRenameOver(const std::string& path, const struct stat& old) {
  const std::string folder = FolderPart(path).empty() ? std::string(".") : FolderPart(path);
  struct stat folder_status {};
  if (::stat(folder.c_str(), &folder_status) != 0) return true;  // the rename will say why
  const uid_t user = ::geteuid();
  return (folder_status.st_mode & S_ISVTX) == 0 || user == 0 || user == old.st_uid ||
         user == folder_status.st_uid;
}

}  // namespace

bool NativeFileSystem::FolderExists(const std::string& path) {
  struct stat status {};
  return !path.empty() && ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool NativeFileSystem::FileExists(const std::string& path) {
  struct stat status {};
  return !path.empty() && ::stat(path.c_str(), &status) == 0;
}

bool NativeFileSystem::IsListedNormalFile(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  const std::string_view name = slash == std::string::npos
                                    ? std::string_view(path)
                                    : std::string_view(path).substr(slash + 1);
  struct stat status {};
  return !name.empty() && name.front() != '.' && ::stat(path.c_str(), &status) == 0 &&
         S_ISREG(status.st_mode);
}

std::unique_ptr<FileReplacement> NativeFileSystem::BeginReplacement(
    const std::string& path, const KeepWaiting& keep_waiting) {
  // A write past the process's file-size limit would end the program with SIGXFSZ; ignored, it
  // fails with EFBIG like a full disk, and is reported as a failed write.
  static std::once_flag ignore_size_signal;
  std::call_once(ignore_size_signal, [] { std::signal(SIGXFSZ, SIG_IGN); });

  // What the output is, is what the kernel opens for the name, links followed.
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) {
    if (errno != ENOENT) ThrowErrno(errno);
    // Nothing there yet, or a link to a file not there yet: a new file, made where the link
    // points.
    const std::string target = FollowLinks(path);
    std::string temporary_path;
    const int fd = CreateTemporaryBeside(target, temporary_path, 0666);
    return std::make_unique<PosixReplacement>(target, fd, std::move(temporary_path));
  }
  if (S_ISDIR(status.st_mode)) ThrowErrno(EISDIR);
  if (!S_ISREG(status.st_mode)) return OpenInPlace(path, status, 0, keep_waiting);

  struct stat standard_output {};
  if (::fstat(STDOUT_FILENO, &standard_output) == 0 && SameFile(status, standard_output)) {
    return std::make_unique<StandardOutput>();
  }
  // A file with other names is written in place, so that every name shows the new numbers.
  const std::string target = FollowLinks(path);
  struct stat target_status {};
  const bool named_by_target =
      ::stat(target.c_str(), &target_status) == 0 && SameFile(status, target_status);
  if (status.st_nlink > 1 || !named_by_target || !MayRenameOver(target, status)) {
    return OpenInPlace(path, status, O_TRUNC, {});
  }
  std::string temporary_path;
  int fd = -1;
  try {
    fd = CreateTemporaryBeside(target, temporary_path, 0600);
  } catch (const Failure&) {
    // A folder where no new file can be made (read-only, or not the user's) still lets a file
    // the user may write be written where it is, as the program always did.
    return OpenInPlace(path, status, O_TRUNC, {});
  }
  auto replacement = std::make_unique<PosixReplacement>(target, fd, std::move(temporary_path));
  TakeOverOwnership(fd, status);
  return replacement;
}

std::uint64_t NativeFileSystem::PhysicalMemoryBytes() {
  const long pages = ::sysconf(_SC_PHYS_PAGES);
  const long page_size = ::sysconf(_SC_PAGESIZE);
  if (pages <= 0 || page_size <= 0) return 0;
  return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(page_size);
}

}  // namespace tallowby
