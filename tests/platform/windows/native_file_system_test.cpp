#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "core/ports/failure.h"
#include "core/run/results_path.h"
#include "platform/windows/native_file_system.h"
#include "support/temporary_folder.h"
#include "wine.h"

namespace tallowby {
namespace {

using testing::FileBytes;
using testing::RunningUnderWine;
using testing::TemporaryFolder;

// An open handle that shares nothing, as an editor holding results.txt would.
class HeldFile {
 public:
  explicit HeldFile(const std::string& path)
      : handle_(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)) {
    EXPECT_NE(handle_, INVALID_HANDLE_VALUE) << path;
  }
  ~HeldFile() { CloseHandle(handle_); }
  HeldFile(const HeldFile&) = delete;
  HeldFile& operator=(const HeldFile&) = delete;

 private:
  HANDLE handle_;
};

std::string In(const TemporaryFolder& folder, const std::string& name) {
  return (folder.Path() / name).string();
}

TEST(ReplaceFileAtomically, WritesTheBytesUnchangedOverAnyOldFile) {
  TemporaryFolder folder;
  const std::string path = In(folder, "results.txt");
  const std::string bytes = "3\r\n-2147483648\r\n0\r\n";
  NativeFileSystem().ReplaceFileAtomically(path, bytes);
  EXPECT_EQ(FileBytes(path), bytes);
  NativeFileSystem().ReplaceFileAtomically(path, "no\ntranslation\r\r\n");  // never text mode
  EXPECT_EQ(FileBytes(path), "no\ntranslation\r\r\n");

  folder.MakeReadOnly("results.txt");
  ASSERT_NE(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_READONLY, 0U);
  NativeFileSystem().ReplaceFileAtomically(path, "7\r\n");
  EXPECT_EQ(FileBytes(path), "7\r\n");
  EXPECT_EQ(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_READONLY, 0U) << "a new file";
  NativeFileSystem().ReplaceFileAtomically(path, "");
  EXPECT_EQ(FileBytes(path), "");
  EXPECT_EQ(folder.Entries(), std::vector<std::string>{"results.txt"});
}

struct FailedReplacement {
  const char* what;
  std::function<void(TemporaryFolder&)> stage;
  DWORD code;
};

TEST(ReplaceFileAtomically, LeavesTheOldFileAsItWasAndNoTemporaryWhenItFails) {
  const FailedReplacement cases[] = {
      {"a folder in the file's place",
       [](TemporaryFolder& folder) {
         CreateDirectoryA(In(folder, "results.txt").c_str(), nullptr);
         folder.Write("results.txt\\keep", "x");
       },
       ERROR_ACCESS_DENIED},
      {"the file held open without sharing", [](TemporaryFolder&) {}, ERROR_ACCESS_DENIED},
      {"a read-only file held open without sharing",
       [](TemporaryFolder& folder) { folder.MakeReadOnly("results.txt"); }, ERROR_ACCESS_DENIED},
  };
  for (const auto& c : cases) {
    TemporaryFolder folder;
    folder.Write("results.txt", "old\r\n");
    c.stage(folder);
    const std::string path = In(folder, "results.txt");
    const DWORD attributes = GetFileAttributesA(path.c_str());
    int code = 0;
    {
      HeldFile held(path);
      try {
        NativeFileSystem().ReplaceFileAtomically(path, "1\r\n");
        ADD_FAILURE() << c.what << ": no failure";
      } catch (const Failure& failure) {
        code = failure.Code();
        EXPECT_NE(std::string(failure.Description()), "") << c.what;
      }
    }
    EXPECT_EQ(code, static_cast<int>(c.code)) << c.what;
    EXPECT_EQ(GetFileAttributesA(path.c_str()), attributes) << c.what;
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"results.txt"}) << c.what;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
      EXPECT_EQ(FileBytes(path), "old\r\n") << c.what;
    } else {
      EXPECT_EQ(FileBytes(In(folder, "results.txt\\keep")), "x") << c.what;
    }
  }
}

TEST(ReplaceFileAtomically, FailsWithThePathErrorWhenTheFolderIsGone) {
  TemporaryFolder folder;
  try {
    NativeFileSystem().ReplaceFileAtomically(In(folder, "gone\\results.txt"), "1\r\n");
    ADD_FAILURE() << "no failure";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.Code(), ERROR_PATH_NOT_FOUND);
  }
  EXPECT_TRUE(folder.Entries().empty());
}

// The reason the replacement clears the read-only flag itself.
TEST(WineDifference, MovingOverAReadOnlyFile) {
  TemporaryFolder folder;
  folder.Write("new", "new");
  folder.Write("old", "old");
  folder.MakeReadOnly("old");
  const BOOL moved =
      MoveFileExA(In(folder, "new").c_str(), In(folder, "old").c_str(), MOVEFILE_REPLACE_EXISTING);
  if (RunningUnderWine()) {
    EXPECT_TRUE(moved);
    EXPECT_EQ(FileBytes(In(folder, "old")), "new");
  } else {
    EXPECT_FALSE(moved);
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  }
}

TEST(FolderExists, KnowsWindowsPathForms) {
  TemporaryFolder folder;
  folder.Write("file.txt", "x");
  char windows[MAX_PATH];
  ASSERT_NE(GetWindowsDirectoryA(windows, MAX_PATH), 0U);
  const std::pair<std::string, bool> cases[] = {
      {"C:\\", true},
      {windows, true},
      {std::string(windows) + "\\", true},
      {folder.Path().string() + "\\\\", true},  // a doubled separator as typed
      {In(folder, "file.txt"), false},
      {In(folder, "missing\\deeper"), false},
      {In(folder, "bad<name>"), false},
      {"\\\\", false},
  };
  for (const auto& [path, exists] : cases)
    EXPECT_EQ(NativeFileSystem().FolderExists(path), exists) << path;
  EXPECT_TRUE(NativeFileSystem().FileExists(In(folder, "file.txt")));
  EXPECT_FALSE(NativeFileSystem().FileExists(In(folder, "bad<name>")));
}

}  // namespace
}  // namespace tallowby
