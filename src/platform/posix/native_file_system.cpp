#include "platform/posix/native_file_system.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "core/numbers/random_source.h"
#include "core/ports/failure.h"
#include "platform/posix/carried_attributes.h"
#include "platform/posix/descriptor.h"
#include "platform/posix/removed_on_signal.h"

namespace tallowby {

namespace {

// Search permission is all a folder needs to take a file, so it is opened as a place only: a
// folder one may write but not read still works.
constexpr int kFolderFlags = O_PATH | O_DIRECTORY | O_CLOEXEC;

// The folder a path's last name lies in, and that name.
struct FolderAndName {
  std::string folder;
  std::string name;
};

FolderAndName Split(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {".", path};
  // "dir/" names the folder itself, which is then refused as a folder.
  std::string name = path.substr(slash + 1);
  return {slash == 0 ? std::string("/") : path.substr(0, slash), name.empty() ? "." : name};
}

// Opens a folder once; everything after is relative to this handle, so that no later step can be
// sent elsewhere by a name that changes meanwhile. A path longer than the system takes in one
// call is walked name by name.
Descriptor OpenFolder(const std::string& path) {
  Descriptor folder(::open(path.c_str(), kFolderFlags));
  if (folder || errno != ENAMETOOLONG) {
    if (!folder) ThrowErrno(errno);
    return folder;
  }
  folder = Descriptor(::open(path.starts_with('/') ? "/" : ".", kFolderFlags));
  for (std::size_t start = 0; folder && start < path.size();) {
    std::size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    if (end > start) {
      const std::string name = path.substr(start, end - start);
      folder = Descriptor(::openat(folder.Get(), name.c_str(), kFolderFlags));
    }
    start = end + 1;
  }
  if (!folder) ThrowErrno(errno);
  return folder;
}

// Looks at a path as the kernel opens it, also one longer than the system takes in one call:
// 0 or errno.
int StatFollowing(const std::string& path, struct stat& status) {
  if (::stat(path.c_str(), &status) == 0) return 0;
  if (errno != ENAMETOOLONG) return errno;
  try {
    const FolderAndName parts = Split(path);
    const Descriptor folder = OpenFolder(parts.folder);
    return ::fstatat(folder.Get(), parts.name.c_str(), &status, 0) == 0 ? 0 : errno;
  } catch (const Failure& failure) {
    return failure.Code();
  }
}

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool ProcIsMounted() {
  return ::access("/proc/self/fd", X_OK) == 0;
}

// Opens for writing exactly the file held as a place, through /proc; where /proc is missing, by
// its name again, refused if that is no longer the same file.
Descriptor OpenAgain(int place, const struct stat& status, int folder, const std::string& name,
                     int flags) {
  flags |= O_CLOEXEC;
  Descriptor file(ProcIsMounted() ? ::open(ProcPath(place).c_str(), flags)
                                  : ::openat(folder, name.c_str(), flags));
  if (!file) return file;
  struct stat opened {};
  if (::fstat(file.Get(), &opened) != 0 || !SameFile(opened, status)) {
    file.Close();
    errno = EAGAIN;  // the name changed meanwhile
  }
  return file;
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

// Copies a finished new file into the old one, where the old one cannot be renamed over.
void CopyInto(int from, int to) {
  if (::ftruncate(to, 0) != 0) ThrowErrno(errno);
  std::vector<char> block(std::size_t{1} << 20);
  for (off_t at = 0;;) {
    const ssize_t got = ::pread(from, block.data(), block.size(), at);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) ThrowErrno(errno);
    if (got == 0) return;
    WriteWaiting(to, std::string_view(block.data(), static_cast<std::size_t>(got)), {});
    at += got;
  }
}

// An output written where it is: anything that is no regular file (a device, a FIFO, a terminal),
// which renaming a file over would replace (the system's /dev/null) or leave its reader without
// the numbers; and a regular file that cannot be replaced without losing something (its other
// names, a link's target, what the folder or its attributes allow). A regular file is flushed to
// the disk before the run counts as done. Never renamed over or removed.
class InPlaceOutput final : public FileReplacement {
 public:
  InPlaceOutput(Descriptor file, bool regular, KeepWaiting keep_waiting)
      : file_(std::move(file)), regular_(regular), keep_waiting_(std::move(keep_waiting)) {}

  void Write(std::string_view bytes) override { WriteWaiting(file_.Get(), bytes, keep_waiting_); }
  void Commit() override {
    const int error_number = regular_ && ::fsync(file_.Get()) != 0 ? errno : 0;
    const int close_error = file_.Close();
    if (error_number != 0 || close_error != 0)
      ThrowErrno(error_number != 0 ? error_number : close_error);
  }

 private:
  Descriptor file_;
  bool regular_;
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

// A new file made in the pinned folder, named only once it is complete. Where the file system
// can make a file without a name (O_TMPFILE), no signal, not even SIGKILL, can leave it behind;
// elsewhere it has a hidden name from the start, which the ending signals remove.
class NewFile {
 public:
  NewFile(int folder, mode_t mode) : folder_(folder) {
    if (ProcIsMounted()) {
      file_ = Descriptor(::openat(folder, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, mode));
      if (file_) return;
      // Only a file system that has no unnamed files gets a named one instead.
      if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) ThrowErrno(errno);
    }
    NameIt([&](const std::string& name) {
      file_ =
          Descriptor(::openat(folder, name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode));
      return static_cast<bool>(file_);
    });
  }
  ~NewFile() {
    file_.Close();
    if (!name_.empty()) ::unlinkat(folder_, name_.c_str(), 0);
  }
  NewFile(const NewFile&) = delete;
  NewFile& operator=(const NewFile&) = delete;

  int Get() const { return file_.Get(); }

  // Flushes the file, names it and renames it over `name` in the folder. Throws with the system's
  // reason, the old file then untouched and the new one gone.
  void PutInPlaceOf(const std::string& name) {
    if (::fsync(file_.Get()) != 0) ThrowErrno(errno);
    if (name_.empty()) {
      const std::string proc_path = ProcPath(file_.Get());
      NameIt([&](const std::string& temporary) {
        return ::linkat(AT_FDCWD, proc_path.c_str(), folder_, temporary.c_str(),
                        AT_SYMLINK_FOLLOW) == 0;
      });
    }
    if (::renameat(folder_, name_.c_str(), folder_, name.c_str()) != 0) ThrowErrno(errno);
    removal_.reset();
    name_.clear();
  }

 private:
  // Gives the file a hidden name that no other writer uses, no longer than "results.txt", so that
  // any folder that can hold that file can hold it too; made() fails with EEXIST when taken.
  template <class Make>
  void NameIt(Make made) {
    RandomSource names;
    for (int attempt = 0; attempt < 16; ++attempt) {
      char name[16];
      std::snprintf(name, sizeof name, ".~%09llx",
                    static_cast<unsigned long long>(names.NextBits() >> 28));
      removal_.emplace(folder_, name);
      if (made(name)) {
        name_ = name;
        return;
      }
      const int error_number = errno;
      removal_.reset();
      if (error_number != EEXIST) ThrowErrno(error_number);
    }
    ThrowErrno(EEXIST);
  }

  int folder_;
  Descriptor file_;
  std::string name_;
  std::optional<RemovedOnSignal> removal_;
};

// Replaces a file by a new one renamed over it, in the folder held open: until committed nothing
// at the target changes, and dropped, it leaves nothing behind. A file that cannot be renamed
// over (a file bind-mounted onto the name) is written in place, once the new one is complete.
class Replacement final : public FileReplacement {
 public:
  Replacement(Descriptor folder, std::string name, std::unique_ptr<NewFile> file,
              Descriptor old_writable)
      : folder_(std::move(folder)),
        name_(std::move(name)),
        file_(std::move(file)),
        old_writable_(std::move(old_writable)) {}

  void Write(std::string_view bytes) override {
    WriteWaiting(file_->Get(), bytes, {});
    written_ += bytes.size();
#ifdef __linux__
    // The disk starts on what is written while the numbers are still drawn, so the flush at the
    // end finds little left to do. Only a hint: a failure here shows again at that flush.
    if (written_ - started_ >= kWritebackStep) {
      ::sync_file_range(file_->Get(), static_cast<off_t>(started_),
                        static_cast<off_t>(written_ - started_), SYNC_FILE_RANGE_WRITE);
      started_ = written_;
    }
#endif
  }

  void Commit() override {
    // The folder's entries are flushed after the rename, so that it survives a power cut. It is
    // opened for that before the rename, as nothing that can fail may come after it: a folder the
    // user may write but not read cannot be flushed, and the rename still stands.
    const Descriptor flushable(::openat(folder_.Get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    try {
      file_->PutInPlaceOf(name_);
    } catch (const Failure& failure) {
      if ((failure.Code() != EBUSY && failure.Code() != EXDEV) || !old_writable_) throw;
      CopyInto(file_->Get(), old_writable_.Get());
      InPlaceOutput(std::move(old_writable_), true, {}).Commit();
      return;
    }
    if (flushable) ::fsync(flushable.Get());
  }

 private:
  static constexpr std::uint64_t kWritebackStep = std::uint64_t{8} << 20;

  Descriptor folder_;
  std::string name_;
  std::unique_ptr<NewFile> file_;
  Descriptor old_writable_;  // none when the process may not write the old file
  std::uint64_t written_ = 0;
  std::uint64_t started_ = 0;  // where the writeback already asked for ends
};

// Whether a new file renamed into the folder may take the old one's place: in a folder with the
// sticky bit, only the owner of the file or of the folder (or root) may replace it.
bool MayRenameOver(int folder, const struct stat& old) {
  struct stat status {};
  if (::fstat(folder, &status) != 0) return true;  // the rename will say why
  const uid_t user = ::geteuid();
  return (status.st_mode & S_ISVTX) == 0 || user == 0 || user == old.st_uid ||
         user == status.st_uid;
}

std::unique_ptr<FileReplacement> WriteInPlace(Descriptor file) {
  if (!file) ThrowErrno(EACCES);
  if (::ftruncate(file.Get(), 0) != 0) ThrowErrno(errno);
  return std::make_unique<InPlaceOutput>(std::move(file), true, KeepWaiting{});
}

// A regular file that exists: replaced by a new file where that loses nothing, written in place
// where it must be, refused where the process has no right to it.
std::unique_ptr<FileReplacement> ReplaceRegular(Descriptor folder, const std::string& name,
                                                const Descriptor& place,
                                                const struct stat& status) {
  // Whether the process may write it is found by opening it, as it would be written.
  Descriptor writable = OpenAgain(place.Get(), status, folder.Get(), name, O_WRONLY | O_NOCTTY);
  if (!writable) {
    // Another user's file that the process may not write is refused, as `sort -o` refuses it;
    // the user's own read-only file is replaced, as it always was.
    if ((errno != EACCES && errno != EPERM) || status.st_uid != ::geteuid()) ThrowErrno(errno);
  }
  // Replaced only where the name in this folder is the file itself and its only name: a link is
  // written through to its target, and a file with other names shows the numbers under all.
  struct stat entry {};
  const bool replaceable =
      ::fstatat(folder.Get(), name.c_str(), &entry, AT_SYMLINK_NOFOLLOW) == 0 &&
      SameFile(entry, status) && status.st_nlink == 1 && MayRenameOver(folder.Get(), status);
  if (!replaceable) return WriteInPlace(std::move(writable));
  std::unique_ptr<NewFile> file;
  try {
    file = std::make_unique<NewFile>(folder.Get(), 0600);
  } catch (const Failure& failure) {
    // A folder that takes no new file still lets a file the user may write be written where it
    // is; a full disk or any other failure leaves the old file and is reported.
    if (failure.Code() != EACCES && failure.Code() != EPERM) throw;
    return WriteInPlace(std::move(writable));
  }
  // The user's own read-only file is read for what it carries.
  const Descriptor readable =
      writable ? Descriptor() : OpenAgain(place.Get(), status, folder.Get(), name, O_RDONLY);
  const int old_file = writable ? writable.Get() : readable.Get();
  if (old_file < 0 || !CarryOver(old_file, status, file->Get())) {
    return WriteInPlace(std::move(writable));
  }
  return std::make_unique<Replacement>(std::move(folder), name, std::move(file),
                                       std::move(writable));
}

}  // namespace

bool NativeFileSystem::FolderExists(const std::string& path) {
  struct stat status {};
  return !path.empty() && StatFollowing(path, status) == 0 && S_ISDIR(status.st_mode);
}

bool NativeFileSystem::FolderIsMissing(const std::string& path) {
  struct stat status {};
  const int error_number = path.empty() ? ENOENT : StatFollowing(path, status);
  return error_number == ENOENT || error_number == ENOTDIR ||
         (error_number == 0 && !S_ISDIR(status.st_mode));
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

  const FolderAndName parts = Split(path);
  Descriptor folder = OpenFolder(parts.folder);
  const std::string& name = parts.name;

  // What the output is, is what the kernel opens for the name: it follows the links, so that its
  // protections (protected_symlinks) hold as for every other program, and every decision below is
  // taken from this one opened file.
  const Descriptor place(::openat(folder.Get(), name.c_str(), O_PATH | O_CLOEXEC));
  if (!place) {
    if (errno != ENOENT) ThrowErrno(errno);
    struct stat entry {};
    if (::fstatat(folder.Get(), name.c_str(), &entry, AT_SYMLINK_NOFOLLOW) == 0) {
      // A link to a file not there yet: the kernel makes it where the link points.
      Descriptor made(::openat(folder.Get(), name.c_str(),
                               O_WRONLY | O_CREAT | O_TRUNC | O_NOCTTY | O_CLOEXEC, 0666));
      if (!made) ThrowErrno(errno);
      return std::make_unique<InPlaceOutput>(std::move(made), true, KeepWaiting{});
    }
    // A new file takes mode 0666 and the user's umask, as any new file.
    auto file = std::make_unique<NewFile>(folder.Get(), 0666);
    return std::make_unique<Replacement>(std::move(folder), name, std::move(file), Descriptor());
  }
  struct stat status {};
  if (::fstat(place.Get(), &status) != 0) ThrowErrno(errno);
  if (S_ISDIR(status.st_mode)) ThrowErrno(EISDIR);
  if (!S_ISREG(status.st_mode)) {
    // A pipe or terminal behind /dev/stdout or /dev/fd/N, a device, a FIFO: written where it is.
    // With keep_waiting, a FIFO nobody reads is refused at once instead of blocking the caller.
    Descriptor output = OpenAgain(place.Get(), status, folder.Get(), name,
                                  O_WRONLY | O_NOCTTY | (keep_waiting ? O_NONBLOCK : 0));
    if (!output) {
      if (errno == ENXIO && S_ISFIFO(status.st_mode)) {
        throw Failure("Nothing is reading from the FIFO " + path, ENXIO);
      }
      ThrowErrno(errno);
    }
    return std::make_unique<InPlaceOutput>(std::move(output), false, keep_waiting);
  }
  struct stat standard_output {};
  if (::fstat(STDOUT_FILENO, &standard_output) == 0 && SameFile(status, standard_output)) {
    return std::make_unique<StandardOutput>();
  }
  return ReplaceRegular(std::move(folder), name, place, status);
}

std::uint64_t NativeFileSystem::PhysicalMemoryBytes() {
  const long pages = ::sysconf(_SC_PHYS_PAGES);
  const long page_size = ::sysconf(_SC_PAGESIZE);
  if (pages <= 0 || page_size <= 0) return 0;
  return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(page_size);
}

}  // namespace tallowby
