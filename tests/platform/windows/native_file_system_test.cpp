#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <thread>

#include "core/ports/failure.h"
#include "core/run/results_path.h"
#include "platform/windows/native_file_system.h"
#include "platform/windows/wide_text.h"
#include "support/temporary_folder.h"
#include "wine.h"

namespace tallowby {
namespace {

using testing::FileBytes;
using testing::RunningUnderWine;
using testing::TemporaryFolder;

// An open handle that shares nothing, as an editor holding results.txt would (or a folder).
class HeldFile {
 public:
  explicit HeldFile(const std::string& path)
      : handle_(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            FILE_FLAG_BACKUP_SEMANTICS, nullptr)) {
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
  EXPECT_NE(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_READONLY, 0U) << "kept";
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
         DeleteFileA(In(folder, "results.txt").c_str());
         CreateDirectoryA(In(folder, "results.txt").c_str(), nullptr);
         folder.Write("results.txt\\keep", "x");
       },
       ERROR_ACCESS_DENIED},
      {"the file held open without sharing", [](TemporaryFolder&) {}, ERROR_SHARING_VIOLATION},
      {"a read-only file held open without sharing",
       [](TemporaryFolder& folder) { folder.MakeReadOnly("results.txt"); },
       ERROR_SHARING_VIOLATION},
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

// Why the replacement clears the read-only flag for the call and puts the old attributes back
// itself: both refuse a read-only file; Windows carries the hidden flag over, Wine none.
TEST(WineDifference, ReplacingAReadOnlyOrHiddenFile) {
  TemporaryFolder folder;
  folder.Write("new", "new");
  folder.Write("old", "old");
  const std::string old_path = In(folder, "old");
  SetFileAttributesA(old_path.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
  EXPECT_FALSE(
      ReplaceFileA(old_path.c_str(), In(folder, "new").c_str(), nullptr, 0, nullptr, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  SetFileAttributesA(old_path.c_str(), FILE_ATTRIBUTE_HIDDEN);
  ASSERT_TRUE(
      ReplaceFileA(old_path.c_str(), In(folder, "new").c_str(), nullptr, 0, nullptr, nullptr));
  EXPECT_EQ(FileBytes(old_path), "new");
  EXPECT_EQ((GetFileAttributesA(old_path.c_str()) & FILE_ATTRIBUTE_HIDDEN) != 0,
            !RunningUnderWine());
}

// Wine 8's CreateSymbolicLinkW makes nothing and says it succeeded, but Wine follows the links of
// the machine it runs on as Windows follows its own: under Wine the test makes one of those.
void MakeSymbolicLink(const std::string& link, const std::string& target) {
  if (!RunningUnderWine()) return std::filesystem::create_symlink(target, link);
  const auto unix_name = reinterpret_cast<char* (*)(const wchar_t*)>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  std::string command = std::string("/bin/ln -s ") + unix_name(Widen(target).c_str()) + " " +
                        unix_name(Widen(link).c_str());
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &process));
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);  // Wine cannot wait for a program of its machine
  for (int i = 0; i < 100 && GetFileAttributesA(link.c_str()) == INVALID_FILE_ATTRIBUTES; ++i) {
    Sleep(50);
  }
}

// What an existing output is decides how it takes the new numbers; every name listed shows them.
TEST(BeginReplacement, WritesEveryKindOfOutputWhereTheUserPointed) {
  TemporaryFolder folder;
  for (const char* name : {"linked.txt", "hard.txt", "hidden.txt", "standard output.txt"}) {
    folder.Write(name, "old\r\n");
  }
  CreateDirectoryA(In(folder, "links").c_str(), nullptr);
  MakeSymbolicLink(In(folder, "links\\results.txt"), In(folder, "linked.txt"));
  CreateHardLinkA(In(folder, "second.txt").c_str(), In(folder, "hard.txt").c_str(), nullptr);
  SetFileAttributesA(In(folder, "hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
  // Shared for reading alone, as Wine's cmd opens the file of a >>.
  const HANDLE standard_output = GetStdHandle(STD_OUTPUT_HANDLE);
  SetStdHandle(STD_OUTPUT_HANDLE,
               CreateFileA(In(folder, "standard output.txt").c_str(), FILE_APPEND_DATA,
                           FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  const std::pair<std::string, std::vector<std::string>> cases[] = {
      {"links\\results.txt", {"links\\results.txt", "linked.txt"}},
      {"hard.txt", {"hard.txt", "second.txt"}},
      {"hidden.txt", {"hidden.txt"}},
      {"standard output.txt", {}},
  };
  for (const auto& [output, names] : cases) {
    EXPECT_NO_THROW(NativeFileSystem().ReplaceFileAtomically(In(folder, output), "new\r\n"))
        << output;
    for (const auto& name : names)
      EXPECT_EQ(FileBytes(In(folder, name)), "new\r\n") << name;
  }
  CloseHandle(GetStdHandle(STD_OUTPUT_HANDLE));
  SetStdHandle(STD_OUTPUT_HANDLE, standard_output);
  EXPECT_EQ(FileBytes(In(folder, "standard output.txt")), "old\r\nnew\r\n");
  EXPECT_NE(GetFileAttributesA(In(folder, "hidden.txt").c_str()) & FILE_ATTRIBUTE_HIDDEN, 0U);
}

TEST(BeginReplacement, OpensANamedPipeOnceAndGivesUpWhenTheCallerStopsWaiting) {
  const std::string name = "\\\\.\\pipe\\tallowby-" + std::to_string(GetCurrentProcessId());
  const auto serve = [&] {  // one client at a time
    return CreateNamedPipeA(name.c_str(), PIPE_ACCESS_INBOUND, PIPE_TYPE_BYTE | PIPE_WAIT, 1, 0,
                            4096, 0, nullptr);
  };
  const std::string bytes(300'000, '7');
  std::string received;
  const HANDLE reading = serve();
  std::thread reader([&] {
    ConnectNamedPipe(reading, nullptr);
    char buffer[4096];
    for (DWORD got = 0; ReadFile(reading, buffer, sizeof buffer, &got, nullptr);) {
      received.append(buffer, got);
    }
  });
  EXPECT_NO_THROW(NativeFileSystem().ReplaceFileAtomically(name, bytes));
  reader.join();
  CloseHandle(reading);
  EXPECT_EQ(received, bytes);

  const HANDLE unread = serve();
  int asked = 0;
  try {
    NativeFileSystem().BeginReplacement(name, [&] { return ++asked < 3; })->Write(bytes);
    ADD_FAILURE() << "no failure";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.Code(), ERROR_OPERATION_ABORTED);
  }
  CloseHandle(unread);
  EXPECT_EQ(asked, 3);
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
