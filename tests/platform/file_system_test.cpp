// What every platform's file system must do for the run, tested on the platform the tests run on.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/run/results_path.h"
#include "support/native_platform.h"
#include "support/temporary_folder.h"

namespace tallowby {
namespace {

using testing::FileBytes;
using testing::TemporaryFolder;

TEST(ReplaceFileAtomically, CreatesAndReplacesTheFileWithExactlyTheText) {
  TemporaryFolder folder;
  const std::string path = (folder.Path() / "results.txt").string();
  NativeFileSystem().ReplaceFileAtomically(path, "3\r\n11\r\n");
  EXPECT_EQ(FileBytes(path), "3\r\n11\r\n");
  NativeFileSystem().ReplaceFileAtomically(path, "");
  EXPECT_TRUE(std::filesystem::exists(path));
  EXPECT_EQ(std::filesystem::file_size(path), 0U);
  EXPECT_EQ(folder.Entries(), std::vector<std::string>{"results.txt"});
}

TEST(ReplaceFileAtomically, ReplacesAReadOnlyFile) {
  TemporaryFolder folder;
  const std::string path = (folder.Path() / "results.txt").string();
  folder.Write("results.txt", "old\r\n");
  folder.MakeReadOnly("results.txt");
  NativeFileSystem().ReplaceFileAtomically(path, "1\r\n");
  EXPECT_EQ(FileBytes(path), "1\r\n");
  EXPECT_EQ(folder.Entries(), std::vector<std::string>{"results.txt"});
}

TEST(FolderExists, IsTrueOnlyForFolders) {
  NativeFileSystem files;
  TemporaryFolder folder;
  folder.Write("file.txt", "x");
  const std::string path = folder.Path().string();
  const char separator = PathSeparator(kNativePathStyle);
  EXPECT_TRUE(files.FolderExists(path));
  EXPECT_TRUE(files.FolderExists(path + separator));
  EXPECT_FALSE(files.FolderExists(path + separator + "file.txt"));
  EXPECT_FALSE(files.FolderExists(path + separator + "file.txt" + separator));
  EXPECT_FALSE(files.FolderExists(path + separator + "missing"));
  EXPECT_FALSE(files.FolderExists(""));
  EXPECT_TRUE(files.FileExists(path + separator + "file.txt"));
  EXPECT_FALSE(files.FileExists(path + separator + "missing"));
  EXPECT_FALSE(files.FileExists(""));
  // The skin counts only as a normal file listed in its folder.
  EXPECT_TRUE(files.IsListedNormalFile(path + separator + "file.txt"));
  EXPECT_FALSE(files.IsListedNormalFile(path));
  EXPECT_FALSE(files.IsListedNormalFile(path + separator + "missing"));
}

}  // namespace
}  // namespace tallowby
