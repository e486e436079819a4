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
#include <functional>
#include <iostream>
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
// Runs what a user other than root would, in a child process that takes their identity, and says
// how it ended: the Failure's error number, 0 when it succeeded, -1 when it could not run.
template <class Action>
int AsUser(uid_t user, Action action) {
  const pid_t child = ::fork();
  if (child == 0) {
    int code = 0;
    if (::setgroups(0, nullptr) != 0 || ::setgid(user) != 0 || ::setuid(user) != 0) ::_exit(255);
    try {
      action();
    } catch (const Failure& failure) {
      code = failure.Code();
    }
    ::_exit(code);
  }
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status) == 255 ? -1 : WEXITSTATUS(status);
}

std::string Attribute(const std::string& path, const char* name) {
  std::string value(256, '\0');
  const ssize_t size = ::getxattr(path.c_str(), name, value.data(), value.size());
  value.resize(size < 0 ? 0 : static_cast<std::size_t>(size));
  return value;
}

// A small file system of its own (root only), so that it can be filled.
struct SmallFileSystem {
  SmallFileSystem(const std::filesystem::path& where, const char* options) : path(where) {
    mounted = ::mount("tallowby-test", where.c_str(), "tmpfs", 0, options) == 0;
  }
  ~SmallFileSystem() {
    if (mounted) ::umount2(path.c_str(), MNT_DETACH);
  }
  std::filesystem::path path;
  bool mounted;
};

constexpr uid_t kOwner = 65534;    // a user who owns a file
constexpr uid_t kSomeone = 65533;  // another user, who writes it

// Each situation, what the write must do (succeed, or fail with that error number) and what must
// hold of the folder after it.
TEST(BeginReplacement, KeepsWhatTheOldFileHadAndLosesNothingWhereItCannotBeReplaced) {
  const bool root = ::geteuid() == 0;
  const std::string big(100000, '7');
  const struct Situation {
    const char* name;
    bool needs_root;
    std::function<std::string(TemporaryFolder&)> stage;  // gives the output's path
    uid_t writer;                                        // 0: the test's own user
    std::string bytes;
    int failure;
    std::function<void(TemporaryFolder&, const std::string&)> holds;
  } situations[] = {
      {"a file system with no inode left", true,
       [](TemporaryFolder& folder) {
         folder.Write("full/results.txt", "old\r\n");  // the last inode
         return (folder.Path() / "full" / "results.txt").string();
       },
       0, "1\r\n", ENOSPC, nullptr},
      {"a file system that fills up on the way", true,
       [](TemporaryFolder& folder) {
         folder.Write("full/results.txt", "old\r\n");
         return (folder.Path() / "full" / "results.txt").string();
       },
       0, big, ENOSPC, nullptr},
      {"a file with another name", false,
       [](TemporaryFolder& folder) {
         folder.Write("results.txt", "old\r\n");
         std::filesystem::create_hard_link(folder.Path() / "results.txt", folder.Path() / "other");
         return (folder.Path() / "results.txt").string();
       },
       0, "1\r\n", 0,
       [](TemporaryFolder& folder, const std::string&) {
         EXPECT_EQ(FileBytes(folder.Path() / "other"), "1\r\n");
       }},
      {"an access list that shuts a user out, and an attribute of the user's", false,
       [](TemporaryFolder& folder) {
         const std::string path = (folder.Path() / "results.txt").string();
         folder.Write("results.txt", "old\r\n");
         ::chmod(path.c_str(), 0640);
         ::setxattr(path.c_str(), "system.posix_acl_access", kShutOut.data(), kShutOut.size(), 0);
         ::setxattr(path.c_str(), "user.origin", "draw", 4, 0);
         return path;
       },
       0, "1\r\n", 0,
       [](TemporaryFolder&, const std::string& path) {
         EXPECT_EQ(Attribute(path, "system.posix_acl_access"), kShutOut);
         EXPECT_EQ(Attribute(path, "user.origin"), "draw");
         struct stat status {};
         ::stat(path.c_str(), &status);
         EXPECT_EQ(status.st_mode & 07777, 0640U);
       }},
      {"a file mounted onto the name", true,
       [](TemporaryFolder& folder) {
         folder.Write("source", "old\r\n");
         folder.Write("results.txt", "");
         const std::string path = (folder.Path() / "results.txt").string();
         ::mount((folder.Path() / "source").c_str(), path.c_str(), nullptr, MS_BIND, nullptr);
         return path;
       },
       0, "1\r\n", 0,
       [](TemporaryFolder& folder, const std::string& path) {
         EXPECT_EQ(FileBytes(folder.Path() / "source"), "1\r\n");
         ::umount2(path.c_str(), MNT_DETACH);
       }},
      {"another user's private file in a folder everyone may write", true,
       [](TemporaryFolder& folder) {
         const std::string path = (folder.Path() / "results.txt").string();
         folder.Write("results.txt", "old\r\n");
         ::chown(path.c_str(), kOwner, kOwner);
         ::chmod(path.c_str(), 0640);
         ::chmod(folder.Path().c_str(), 0777);
         return path;
       },
       kSomeone, "1\r\n", EACCES,
       [](TemporaryFolder&, const std::string& path) {
         struct stat status {};
         ::stat(path.c_str(), &status);
         EXPECT_EQ(status.st_uid, kOwner);
         EXPECT_EQ(status.st_mode & 07777, 0640U);
       }},
      {"the user's own read-only file", true,
       [](TemporaryFolder& folder) {
         const std::string path = (folder.Path() / "results.txt").string();
         folder.Write("results.txt", "old\r\n");
         ::chown(path.c_str(), kSomeone, kSomeone);
         ::chmod(path.c_str(), 0444);
         ::chmod(folder.Path().c_str(), 0777);
         return path;
       },
       kSomeone, "1\r\n", 0,
       [](TemporaryFolder&, const std::string& path) {
         struct stat status {};
         ::stat(path.c_str(), &status);
         EXPECT_EQ(status.st_uid, kSomeone);
         EXPECT_EQ(status.st_mode & 07777, 0444U);
       }},
  };
  for (const Situation& s : situations) {
    SCOPED_TRACE(s.name);
    if (s.needs_root && !root) {
      std::cout << "skipped, it needs root (mounts, other users): " << s.name << '\n';
      continue;
    }
    TemporaryFolder folder;
    const bool small = s.failure == ENOSPC;
    std::optional<SmallFileSystem> full;
    if (small) {
      std::filesystem::create_directory(folder.Path() / "full");
      full.emplace(folder.Path() / "full", s.bytes.size() > 1000 ? "size=16k" : "nr_inodes=2");
      ASSERT_TRUE(full->mounted) << std::strerror(errno);
    }
    const std::string path = s.stage(folder);
    const std::string before = FileBytes(path);
    const auto write = [&] { NativeFileSystem().ReplaceFileAtomically(path, s.bytes); };
    int code = 0;
    if (s.writer != 0) {
      code = AsUser(s.writer, write);
    } else {
      try {
        write();
      } catch (const Failure& failure) {
        code = failure.Code();
      }
    }
    EXPECT_EQ(code, s.failure);
    EXPECT_EQ(FileBytes(path), s.failure == 0 ? s.bytes : before);
    if (s.holds) s.holds(folder, path);
    // Nothing is left beside the output.
    for (const auto& entry : std::filesystem::directory_iterator(path.substr(0, path.rfind('/')))) {
      EXPECT_FALSE(entry.path().filename().string().starts_with(".~")) << entry.path();
    }
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
  EXPECT_EQ(std::vector<std::string>{"results.txt"}, [&] {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(real))
      names.push_back(entry.path().filename().string());
    return names;
  }());
}

TEST(IsListedNormalFile, LeavesOutHiddenFiles) {
  TemporaryFolder folder;
  folder.Write(".o.cjs", "x");
  EXPECT_FALSE(NativeFileSystem().IsListedNormalFile((folder.Path() / ".o.cjs").string()));
}

}  // namespace
}  // namespace tallowby
