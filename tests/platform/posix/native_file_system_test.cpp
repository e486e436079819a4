// Failures of the results file that only POSIX systems can stage: a folder in the file's place
// and a file-size limit.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

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

TEST(IsListedNormalFile, LeavesOutHiddenFiles) {
  TemporaryFolder folder;
  folder.Write(".o.cjs", "x");
  EXPECT_FALSE(NativeFileSystem().IsListedNormalFile((folder.Path() / ".o.cjs").string()));
}

}  // namespace
}  // namespace tallowby
