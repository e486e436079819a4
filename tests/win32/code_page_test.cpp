// Folder and program names whatever the user's code page: the window speaks UTF-16 to Windows,
// so a name is never cut on a byte that happens to be a backslash's (the second byte of 予 and
// of 表 in code page 932), nor loses what its code page cannot say. Run in code page 1252 with
// the other window tests, and again in 1251 and 932.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "win32/tallowby_exe.h"

namespace tallowby {
namespace {

using namespace testing;

constexpr char kKanjiEndingInBackslashBytes[] = "\xE4\xBA\x88\xE5\xAE\x9A\xE8\xA1\xA8";  // 予定表
constexpr char kCyrillic[] = "\xD0\x9E\xD1\x82\xD1\x87\xD1\x91\xD1\x82";  // Отчёт
constexpr char kOutsideEveryCodePage[] = "\xCE\xA9 \xEA\xB0\x80";         // Ω 가

void MakeFolder(const std::string& path) {
  ASSERT_TRUE(CreateDirectoryW(Widen(path).c_str(), nullptr) ||
              GetLastError() == ERROR_ALREADY_EXISTS)
      << path;
}

// The file's bytes, read through its UTF-16 name.
std::string Bytes(const std::string& path) {
  const HANDLE file = CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "(missing)";
  std::string bytes(1 << 16, '\0');
  DWORD read = 0;
  ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  CloseHandle(file);
  bytes.resize(read);
  return bytes;
}

std::string Done(const std::string& folder) {
  return "Done.\r\r" + folder + "\\results.txt\r\n\r\nwas created.";
}

// The user's Desktop shell folder moved, as a user or an administrator can through the
// registry; Wine honours it.
TemporaryRegistryValue MovedDesktop(const std::string& folder) {
  return TemporaryRegistryValue::Text(
      HKEY_CURRENT_USER,
      L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders", L"Desktop",
      folder, REG_EXPAND_SZ);
}

class CodePage : public WindowTest {
 protected:
  // A folder of the test's own, under a name of this case's.
  std::string Folder(const std::string& name) {
    const std::string path = Cat(folder.Path().string(), "\\", name);
    MakeFolder(path);
    return path;
  }
};

// Typed without their trailing backslash, written to, stored, and restored at the next start.
TEST_F(CodePage, FoldersOfAnyNameAreWrittenToStoredAndRestored) {
  std::vector<std::string> folders = {Folder(kKanjiEndingInBackslashBytes), Folder(kCyrillic),
                                      Folder(kOutsideEveryCodePage)};
  // 240 characters: the temporary file beside results.txt must fit wherever results.txt does.
  const std::string base = folder.Path().string() + "\\";
  folders.push_back(Folder(std::string(240 - base.size(), 'd')));
  ASSERT_EQ(folders.back().size(), 240U);
  for (const std::string& output : folders) {
    Program program;
    program.Type(kText1, "3");
    program.Type(kText2, "10");
    program.Type(kText3, output);
    program.Press(kPushButton6);
    ExpectPlainMessage(program.Answer(), Done(output));
    const std::string results = Bytes(output + "\\results.txt");
    EXPECT_EQ(std::count(results.begin(), results.end(), '\n'), 3) << output;
    EXPECT_EQ(Setting("Text3"), output);
  }
  Program again;
  EXPECT_EQ(again.Text(kText3), folders.back());
}

// The default folder is the desktop with exactly one trailing backslash, whatever bytes its name
// ends in, and a run with the defaults writes there.
TEST_F(CodePage, TheDesktopIsTheDefaultFolderWhateverItsName) {
  const std::string parent = Folder(kKanjiEndingInBackslashBytes);
  for (const std::string& desktop :
       {Folder(Cat(kKanjiEndingInBackslashBytes, "\\Desktop")), parent}) {
    RegDeleteTreeW(HKEY_CURRENT_USER, Widen(kSettingsKey).c_str());
    const TemporaryRegistryValue moved = MovedDesktop(desktop);
    Program program;
    ASSERT_EQ(program.Text(kText3), desktop + "\\");
    program.Press(kPushButton6);
    ExpectPlainMessage(program.Answer(), Done(desktop));
    const std::string results = Bytes(desktop + "\\results.txt");
    EXPECT_EQ(std::count(results.begin(), results.end(), '\n'), 100) << desktop;
  }
}

// The skin and the cursor are found beside the program under any name of it.
TEST_F(CodePage, AProgramOfAnyNameFindsItsSkin) {
  const std::string program_folder = Folder(kOutsideEveryCodePage);
  const std::string program = Cat(program_folder, "\\", kKanjiEndingInBackslashBytes, ".exe");
  ASSERT_TRUE(CopyFileW(Widen(HostPath(TALLOWBY_EXE)).c_str(), Widen(program).c_str(), FALSE));
  MakeFolder(program_folder + "\\x");
  folder.Write("skin", "skin");
  ASSERT_TRUE(CopyFileW(Widen(folder.Path().string() + "\\skin").c_str(),
                        Widen(program_folder + "\\x\\o.cjs").c_str(), FALSE));
  Program running(program);
  std::this_thread::sleep_for(300ms);  // painted
  EXPECT_EQ(ColourAt(running.Main(), {4, 4}), GetSysColor(COLOR_BTNFACE));
}

}  // namespace
}  // namespace tallowby
