#include <windows.h>

#include <gtest/gtest.h>

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

// Wine 8's CreateSymbolicLinkW makes nothing and says it succeeded; Wine follows the links of the
// machine it runs on as Windows follows its own, so under Wine the test makes one of those.
void MakeSymbolicLink(const std::string& link, const std::string& target) {
  if (!RunningUnderWine()) {
    if (!CreateSymbolicLinkA(link.c_str(), target.c_str(),
                             SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE)) {
      GTEST_SKIP() << "no right to make symbolic links";
    }
    return;
  }
  using UnixName = char*(WINAPI*)(const wchar_t*);
  const auto unix_name = reinterpret_cast<UnixName>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  std::string command = std::string("/bin/ln -s ") + unix_name(Widen(target).c_str()) + " " +
                        unix_name(Widen(link).c_str());
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &process));
  CloseHandle(process.hProcess);  // Wine cannot wait for a program of its machine
  for (int tries = 0; tries < 100 && GetFileAttributesA(link.c_str()) == INVALID_FILE_ATTRIBUTES;
       ++tries) {
    Sleep(50);
  }
  CloseHandle(process.hThread);
}

// What an existing output is decides how it takes the new numbers, "new\r\n" in every case.
struct OutputCase {
  const char* what;
  std::function<std::string(TemporaryFolder&)> stage;  // returns the output's path
  std::function<void(TemporaryFolder&)> check;
};

TEST(BeginReplacement, WritesEveryKindOfOutputWhereTheUserPointed) {
  static HANDLE standard_output = nullptr;
  const OutputCase cases[] = {
      {"a link to a file in another folder, which stays a link",
       [](TemporaryFolder& folder) {
         CreateDirectoryA(In(folder, "links").c_str(), nullptr);
         MakeSymbolicLink(In(folder, "links\\results.txt"), In(folder, "numbers.txt"));
         return In(folder, "links\\results.txt");
       },
       [](TemporaryFolder& folder) {
         EXPECT_EQ(FileBytes(In(folder, "numbers.txt")), "new\r\n");
         EXPECT_EQ(FileBytes(In(folder, "links\\results.txt")), "new\r\n");
         EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"links", "numbers.txt"}));
       }},
      {"a file with a second name, both of which show the new numbers",
       [](TemporaryFolder& folder) {
         CreateHardLinkA(In(folder, "second.txt").c_str(), In(folder, "numbers.txt").c_str(),
                         nullptr);
         return In(folder, "numbers.txt");
       },
       [](TemporaryFolder& folder) {
         EXPECT_EQ(FileBytes(In(folder, "second.txt")), "new\r\n");
         EXPECT_EQ(FileBytes(In(folder, "numbers.txt")), "new\r\n");
       }},
      {"a hidden file, which stays hidden",
       [](TemporaryFolder& folder) {
         SetFileAttributesA(In(folder, "numbers.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
         return In(folder, "numbers.txt");
       },
       [](TemporaryFolder& folder) {
         EXPECT_EQ(FileBytes(In(folder, "numbers.txt")), "new\r\n");
         EXPECT_NE(GetFileAttributesA(In(folder, "numbers.txt").c_str()) & FILE_ATTRIBUTE_HIDDEN,
                   0U);
       }},
      {"the file that is standard output, shared for reading alone as Wine's cmd does, appended to",
       [](TemporaryFolder& folder) {
         standard_output = GetStdHandle(STD_OUTPUT_HANDLE);
         SetStdHandle(STD_OUTPUT_HANDLE,
                      CreateFileA(In(folder, "numbers.txt").c_str(), FILE_APPEND_DATA,
                                  FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
         return In(folder, "numbers.txt");
       },
       [](TemporaryFolder& folder) {
         CloseHandle(GetStdHandle(STD_OUTPUT_HANDLE));
         SetStdHandle(STD_OUTPUT_HANDLE, standard_output);
         EXPECT_EQ(FileBytes(In(folder, "numbers.txt")), "old\r\nnew\r\n");
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TemporaryFolder folder;
    folder.Write("numbers.txt", "old\r\n");
    const std::string path = c.stage(folder);
    if (::testing::Test::IsSkipped()) continue;
    EXPECT_NO_THROW(NativeFileSystem().ReplaceFileAtomically(path, "new\r\n"));
    c.check(folder);
  }
}

// A pipe server that takes one client at a time, reading all it is sent when asked to.
class PipeServer {
 public:
  explicit PipeServer(bool read)
      : name_("\\\\.\\pipe\\tallowby-" + std::to_string(GetCurrentProcessId())),
        pipe_(CreateNamedPipeA(name_.c_str(), PIPE_ACCESS_INBOUND, PIPE_TYPE_BYTE | PIPE_WAIT, 1, 0,
                               4096, 0, nullptr)) {
    if (!read) return;
    reader_ = std::thread([this] {
      ConnectNamedPipe(pipe_, nullptr);
      char buffer[4096];
      DWORD got = 0;
      while (ReadFile(pipe_, buffer, sizeof buffer, &got, nullptr))
        received_.append(buffer, got);
    });
  }
  ~PipeServer() {
    CloseHandle(pipe_);
    if (reader_.joinable()) reader_.join();
  }
  const std::string& Name() const { return name_; }
  // Everything the client sent, once it closed the pipe.
  const std::string& Received() {
    reader_.join();
    return received_;
  }

 private:
  std::string name_;
  HANDLE pipe_;
  std::thread reader_;
  std::string received_;
};

TEST(BeginReplacement, OpensANamedPipeOnceAndGivesUpWhenTheCallerStopsWaiting) {
  const std::string bytes(300'000, '7');
  {
    PipeServer server(true);
    NativeFileSystem().ReplaceFileAtomically(server.Name(), bytes);
    EXPECT_EQ(server.Received(), bytes);
  }
  PipeServer server(false);  // connected to, never read
  int asked = 0;
  const auto output =
      NativeFileSystem().BeginReplacement(server.Name(), [&] { return ++asked < 3; });
  try {
    output->Write(bytes);
    ADD_FAILURE() << "no failure";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.Code(), ERROR_OPERATION_ABORTED);
  }
  EXPECT_EQ(asked, 3);
}

// A name that is not valid UTF-16 is that name, never the U+FFFD that once stood for it.
TEST(FolderExists, TellsAnUnpairedSurrogateFromTheReplacementCharacter) {
  TemporaryFolder folder;  // names as the folder dialog gives them, not through the code page
  const std::string replaced = folder.Path().string() + Narrow(L"\\a\xFFFDz");
  ASSERT_TRUE(CreateDirectoryW(Widen(replaced).c_str(), nullptr));
  const std::string unpaired = folder.Path().string() + Narrow(L"\\a\xD800z");
  EXPECT_FALSE(NativeFileSystem().FolderExists(unpaired));
  // Wine takes no such name and the write fails; Windows writes the file in that folder.
  const BOOL made = CreateDirectoryW(Widen(unpaired).c_str(), nullptr);
  EXPECT_NE(made, RunningUnderWine());
  try {
    NativeFileSystem().ReplaceFileAtomically(unpaired + "\\results.txt", "1\r\n");
    EXPECT_EQ(FileBytes(Widen(unpaired + "\\results.txt")), "1\r\n");
  } catch (const Failure&) {
    EXPECT_FALSE(made);
  }
  EXPECT_FALSE(NativeFileSystem().FileExists(replaced + "\\results.txt"));
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
