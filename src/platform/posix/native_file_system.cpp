#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
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

// Opens a new file beside path with a name no other writer uses. O_EXCL never follows or reuses
// an existing entry, and mode 0666 lets the user's umask decide the permissions, as for any new
// file.
int CreateTemporaryBeside(const std::string& path, std::string& temporary_path) {
  RandomSource names;
  for (int attempt = 0; attempt < 16; ++attempt) {
    char suffix[24];
    std::snprintf(suffix, sizeof suffix, ".%016llx.tmp",
                  static_cast<unsigned long long>(names.NextBits()));
    temporary_path = path + suffix;
    const int fd = ::open(temporary_path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) return fd;
    if (errno != EEXIST) ThrowErrno(errno);
  }
  ThrowErrno(EEXIST);
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

void NativeFileSystem::ReplaceFileAtomically(const std::string& path, std::string_view bytes) {
  std::string temporary_path;
  const int fd = CreateTemporaryBeside(path, temporary_path);
  int error_number = WriteAll(fd, bytes);
  if (error_number == 0 && ::fsync(fd) != 0) error_number = errno;
  if (::close(fd) != 0 && error_number == 0 && errno != EINTR) error_number = errno;
  if (error_number != 0) {
    ::unlink(temporary_path.c_str());
    ThrowErrno(error_number);
  }
  // rename() replaces the directory entry, so a read-only results.txt is replaced like any other.
  if (::rename(temporary_path.c_str(), path.c_str()) != 0) {
    error_number = errno;
    ::unlink(temporary_path.c_str());
    ThrowErrno(error_number);
  }
}

std::uint64_t NativeFileSystem::PhysicalMemoryBytes() {
  const long pages = ::sysconf(_SC_PHYS_PAGES);
  const long page_size = ::sysconf(_SC_PAGESIZE);
  if (pages <= 0 || page_size <= 0) return 0;
  return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(page_size);
}

}  // namespace tallowby
