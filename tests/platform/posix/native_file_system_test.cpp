// The results file in situations that only POSIX systems can stage: a folder in the file's place,
// a file-size limit, full file systems, mounts, access lists, other users and their attacks.
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <optional>

#include "core/ports/failure.h"
#include "platform/posix/native_file_system.h"
#include "support/file_size_limit.h"
#include "support/temporary_folder.h"

namespace tallowby {
namespace {

using testing::FileBytes;
using testing::TemporaryFolder;

TEST(ReplaceFileAtomically, LeavesTheOldFileAndNoTemporaryWhenItFails) {
  {
    TemporaryFolder folder;  // a folder named results.txt cannot be replaced by a file
    std::filesystem::create_directory(folder.Path() / "results.txt");
    folder.Write("results.txt/keep", "x");
    try {
      NativeFileSystem().ReplaceFileAtomically(folder.Path() / "results.txt", "1\r\n");
      ADD_FAILURE() << "no failure";
    } catch (const Failure& failure) {
      EXPECT_EQ(failure.Code(), EISDIR);
      EXPECT_STREQ(failure.Description(), "Is a directory");
    }
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"results.txt"});
    EXPECT_EQ(FileBytes(folder.Path() / "results.txt" / "keep"), "x");
  }
  {
    // A file-size limit makes the write itself fail half-way, as a full disk would.
    TemporaryFolder folder;
    folder.Write("results.txt", "old\r\n");
    int code = 0;
    try {
      testing::FileSizeLimit limit(4096);
      NativeFileSystem().ReplaceFileAtomically(folder.Path() / "results.txt",
                                               std::string(10000, '7'));
    } catch (const Failure& failure) {
      code = failure.Code();
    }
    EXPECT_EQ(code, EFBIG);
    EXPECT_EQ(FileBytes(folder.Path() / "results.txt"), "old\r\n");
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"results.txt"});
  }
}

// An access list in the kernel's form for a 0640 file that shuts user 65534 out.
std::string AclEntry(std::uint16_t tag, std::uint16_t permissions, std::uint32_t id) {
  std::string entry(8, '\0');
  std::memcpy(entry.data(), &tag, 2);
  std::memcpy(entry.data() + 2, &permissions, 2);
  std::memcpy(entry.data() + 4, &id, 4);
  return entry;
}
const std::string kShutOut = std::string("\x02\0\0\0", 4) + AclEntry(0x01, 6, ~0U) +
                             AclEntry(0x02, 0, 65534) + AclEntry(0x04, 4, ~0U) +
                             AclEntry(0x10, 4, ~0U) + AclEntry(0x20, 0, ~0U);

std::string Attribute(const std::string& path, const char* name) {
  std::string value(256, '\0');
  const ssize_t size = ::getxattr(path.c_str(), name, value.data(), value.size());
  value.resize(size < 0 ? 0 : static_cast<std::size_t>(size));
  return value;
}

// Writes as the test's user, or as another (root only) in a child process that takes their
// identity. The Failure's error number, 0 when it succeeded, -1 when it could not run.
int WriteAs(uid_t user, const std::string& path, const std::string& bytes) {
  const auto write = [&] {
    try {
      NativeFileSystem().ReplaceFileAtomically(path, bytes);
      return 0;
    } catch (const Failure& failure) {
      return failure.Code();
    }
  };
  if (user == ::geteuid()) return write();
  const pid_t child = ::fork();
  if (child == 0) {
    if (::setgroups(0, nullptr) != 0 || ::setgid(user) != 0 || ::setuid(user) != 0) ::_exit(255);
    ::_exit(write());
  }
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status) == 255 ? -1 : WEXITSTATUS(status);
}

constexpr uid_t kOwner = 65534;    // a user who owns a file
constexpr uid_t kSomeone = 65533;  // another user, who writes it

// Each situation: results.txt holding "old" with a mode and an owner, in a folder that may be a
// small file system of its own; what the write does (succeeds, or fails with that error number);
// and what must hold after it. Owner and mode never change, and nothing is left beside the file.
TEST(BeginReplacement, KeepsWhatTheOldFileHadAndLosesNothingWhereItCannotBeReplaced) {
  const uid_t self = ::geteuid();
  const struct Situation {
    const char* name;
    bool root_only;                 // it mounts, or acts as other users
    const char* small_file_system;  // tmpfs options, or none
    mode_t mode;
    uid_t owner;
    uid_t writer;
    std::size_t count;  // bytes written
    int failure;
    std::function<void(const std::filesystem::path& folder)> stage;
    std::function<void(const std::filesystem::path& folder)> holds;
  } situations[] = {
      {"no inode left", true, "nr_inodes=2", 0644, self, self, 3, ENOSPC, {}, {}},
      {"no space left mid-write", true, "size=16k", 0644, self, self, 100000, ENOSPC, {}, {}},
      {"a hard link", false, nullptr, 0644, self, self, 3, 0,
       [](const auto& folder) {
         std::filesystem::create_hard_link(folder / "results.txt", folder / "other");
       },
       [](const auto& folder) { EXPECT_EQ(FileBytes(folder / "other"), "777"); }},
      {"an access list and a user attribute", false, nullptr, 0640, self, self, 3, 0,
       [](const auto& folder) {
         const std::string path = folder / "results.txt";
         ::setxattr(path.c_str(), "system.posix_acl_access", kShutOut.data(), kShutOut.size(), 0);
         ::setxattr(path.c_str(), "user.origin", "draw", 4, 0);
       },
       [](const auto& folder) {
         EXPECT_EQ(Attribute(folder / "results.txt", "system.posix_acl_access"), kShutOut);
         EXPECT_EQ(Attribute(folder / "results.txt", "user.origin"), "draw");
       }},
      {"a file mounted onto the name", true, nullptr, 0644, self, self, 3, 0,
       [](const auto& folder) {
         std::ofstream(folder / "source") << "old";
         ::mount((folder / "source").c_str(), (folder / "results.txt").c_str(), nullptr, MS_BIND,
                 nullptr);
       },
       [](const auto& folder) {
         ::umount2((folder / "results.txt").c_str(), MNT_DETACH);
         EXPECT_EQ(FileBytes(folder / "source"), "777");
       }},
      // In a folder everyone may write, as a third user.
      {"another user's private file", true, nullptr, 0640, kOwner, kSomeone, 3, EACCES, {}, {}},
      {"the user's own read-only file", true, nullptr, 0444, kSomeone, kSomeone, 3, 0, {}, {}},
  };
  for (const Situation& s : situations) {
    SCOPED_TRACE(s.name);
    if (self != 0 && s.root_only) {
      std::cout << "skipped, it needs root (mounts, other users): " << s.name << '\n';
      continue;
    }
    TemporaryFolder root;
    const std::filesystem::path folder = root.Path() / "folder";
    std::filesystem::create_directory(folder);
    ::chmod(folder.c_str(), 0777);
    const bool mounted =
        s.small_file_system != nullptr &&
        ::mount("tallowby-test", folder.c_str(), "tmpfs", 0, s.small_file_system) == 0;
    ASSERT_EQ(mounted, s.small_file_system != nullptr) << std::strerror(errno);
    const std::string path = folder / "results.txt";
    std::ofstream(path) << "old";
    const gid_t group = s.owner == self ? ::getegid() : s.owner;
    ASSERT_EQ(::chown(path.c_str(), s.owner, group) | ::chmod(path.c_str(), s.mode), 0);
    if (s.stage) s.stage(folder);
    EXPECT_EQ(WriteAs(s.writer, path, std::string(s.count, '7')), s.failure);
    struct stat status {};
    ::stat(path.c_str(), &status);
    EXPECT_EQ(status.st_uid, s.owner);
    EXPECT_EQ(status.st_mode & 07777, s.mode);
    EXPECT_EQ(FileBytes(path), s.failure == 0 ? std::string(s.count, '7') : "old");
    if (s.holds) s.holds(folder);
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      EXPECT_FALSE(entry.path().filename().string().starts_with(".~")) << entry.path();
    }
    if (mounted) ::umount2(folder.c_str(), MNT_DETACH);
  }
}

// Root writing into a folder another user controls, while that user keeps swapping a folder of
// theirs for a link to one of root's: root's file may take the numbers, as the link leads there,
// but keeps its owner and mode, and nothing is left behind in either folder.
TEST(BeginReplacement, AFolderSwappedForALinkNeverGivesRootsFileAway) {
  if (::geteuid() != 0) GTEST_SKIP() << "it needs root writing into another user's folder";
  TemporaryFolder theirs;
  TemporaryFolder roots;
  roots.Write("results.txt", "secret\r\n");
  ::chmod((roots.Path() / "results.txt").c_str(), 0600);
  const std::filesystem::path sub = theirs.Path() / "sub";
  const std::filesystem::path swap = theirs.Path() / "swap";
  std::filesystem::create_directory(sub);
  theirs.Write("sub/results.txt", "theirs\r\n");
  std::filesystem::create_directory_symlink(roots.Path(), swap);
  for (const auto& path : {theirs.Path(), sub, sub / "results.txt", swap}) {
    ASSERT_EQ(::lchown(path.c_str(), kOwner, kOwner), 0);
  }
  ::chmod((sub / "results.txt").c_str(), 0666);
  const pid_t attacker = ::fork();
  if (attacker == 0) {
    if (::setgid(kOwner) != 0 || ::setuid(kOwner) != 0) ::_exit(1);
    for (;;)
      ::renameat2(AT_FDCWD, sub.c_str(), AT_FDCWD, swap.c_str(), RENAME_EXCHANGE);
  }
  ASSERT_GT(attacker, 0);
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  int writes = 0;
  while (std::chrono::steady_clock::now() < end) {
    try {
      NativeFileSystem().ReplaceFileAtomically(sub / "results.txt", "1\r\n");
      ++writes;
    } catch (const Failure&) {
      // A folder swapped away while it was looked up: refused, which is fine.
    }
  }
  ::kill(attacker, SIGKILL);
  ::waitpid(attacker, nullptr, 0);
  EXPECT_GT(writes, 0);
  struct stat status {};
  ASSERT_EQ(::stat((roots.Path() / "results.txt").c_str(), &status), 0);
  EXPECT_EQ(status.st_uid, 0U);
  EXPECT_EQ(status.st_mode & 07777, 0600U);
  const std::string bytes = FileBytes(roots.Path() / "results.txt");
  EXPECT_TRUE(bytes == "secret\r\n" || bytes == "1\r\n") << bytes;
  EXPECT_EQ(roots.Entries(), std::vector<std::string>{"results.txt"});
  const std::filesystem::path real = std::filesystem::is_symlink(sub) ? swap : sub;
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(real), {}), 1);
}

TEST(IsListedNormalFile, LeavesOutHiddenFiles) {
  TemporaryFolder folder;
  folder.Write(".o.cjs", "x");
  EXPECT_FALSE(NativeFileSystem().IsListedNormalFile((folder.Path() / ".o.cjs").string()));
}

}  // namespace
}  // namespace tallowby
