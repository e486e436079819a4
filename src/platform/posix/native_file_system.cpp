#include <fcntl.h>
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
// reuses an existing entry, and mode 0666 lets the user's umask decide the permissions, as for
// any new file.
int CreateTemporaryBeside(const std::string& path, std::string& temporary_path) {
  RandomSource names;
  for (int attempt = 0; attempt < 16; ++attempt) {
    char name[16];
    std::snprintf(name, sizeof name, ".~%09llx",
                  static_cast<unsigned long long>(names.NextBits() >> 28));
    temporary_path = FolderPart(path) + name;
    const int fd = ::open(temporary_path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) return fd;
    if (errno != EEXIST) ThrowErrno(errno);
  }
  ThrowErrno(EEXIST);
}

// Flushes the folder's entries, so a rename in it survives a power cut. File systems that cannot
// flush a folder say so with EINVAL; there is nothing more to do on them.
int SyncFolderOf(const std::string& path) {
  const std::string folder = FolderPart(path).empty() ? std::string(".") : FolderPart(path);
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return errno;
  int error_number = 0;
  if (::fsync(fd) != 0 && errno != EINVAL) error_number = errno;
  ::close(fd);
  return error_number;
}

// The file a path names once its symbolic links are followed, as `sort -o` writes through them:
// the link stays a link, and its target is what gets replaced. The target need not exist.
std::string FollowLinks(std::string path) {
  for (int hop = 0; hop < 40; ++hop) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return path;
    std::string target(static_cast<std::size_t>(status.st_size > 0 ? status.st_size : 256) + 1,
                       '\0');
    const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
    if (length < 0) ThrowErrno(errno);
    target.resize(static_cast<std::size_t>(length));
    path = target.starts_with('/') ? target : FolderPart(path) + target;
  }
  ThrowErrno(ELOOP);
}

// An output that exists and is no regular file (a device, a FIFO, a terminal) is written where
// it is: renaming a file over it would replace the system's /dev/null, or leave a pipe's reader
// with nothing. It is never renamed over or removed, whatever happens.
class InPlaceOutput final : public FileReplacement {
 public:
  explicit InPlaceOutput(const std::string& path)
      : fd_(::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY)) {
    if (fd_ < 0) ThrowErrno(errno);
  }
  ~InPlaceOutput() override {
    if (fd_ >= 0) ::close(fd_);
  }
  InPlaceOutput(const InPlaceOutput&) = delete;
  InPlaceOutput& operator=(const InPlaceOutput&) = delete;

  void Write(std::string_view bytes) override {
    if (const int error_number = WriteAll(fd_, bytes); error_number != 0) ThrowErrno(error_number);
  }
  void Commit() override {
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 && errno != EINTR) ThrowErrno(errno);
  }

 private:
  int fd_;
};

class PosixReplacement final : public FileReplacement {
 public:
  explicit PosixReplacement(std::string path)
      : path_(std::move(path)), fd_(CreateTemporaryBeside(path_, temporary_path_)) {}
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
    // rename() replaces the directory entry, so a read-only results.txt is replaced like any
    // other.
    if (::rename(temporary_path_.c_str(), path_.c_str()) != 0) ThrowErrno(errno);
    committed_ = true;
    if (const int folder_error = SyncFolderOf(path_); folder_error != 0) ThrowErrno(folder_error);
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
    const std::string& path, const KeepWaiting& /*keep_waiting*/) {
  // A write past the process's file-size limit would end the program with SIGXFSZ; ignored, it
  // fails with EFBIG like a full disk, and is reported as a failed write.
  static std::once_flag ignore_size_signal;
  std::call_once(ignore_size_signal, [] { std::signal(SIGXFSZ, SIG_IGN); });
  // Only a regular file, or a name that is not there yet, is replaced by rename.
  const std::string target = FollowLinks(path);
  struct stat status {};
  if (::stat(target.c_str(), &status) == 0) {
    if (S_ISDIR(status.st_mode)) ThrowErrno(EISDIR);
    if (!S_ISREG(status.st_mode)) return std::make_unique<InPlaceOutput>(target);
  }
  return std::make_unique<PosixReplacement>(target);
}

std::uint64_t NativeFileSystem::PhysicalMemoryBytes() {
  const long pages = ::sysconf(_SC_PHYS_PAGES);
  const long page_size = ::sysconf(_SC_PAGESIZE);
  if (pages <= 0 || page_size <= 0) return 0;
  return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(page_size);
}

}  // namespace tallowby
