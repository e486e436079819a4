// Tallowby.exe end to end: the real program under Wine, driven only through its window handles,
// as a user would drive it: find the window, type into the fields, press buttons, read and
// dismiss the message boxes, and look at what was written.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/windows/excel_stand_in.h"
#include "platform/windows/stand_in_registration.h"
#include "platform/windows/wine.h"
#include "support/designed_layout.h"
#include "support/temporary_folder.h"
#include "win32/tallowby_exe.h"

namespace tallowby {
namespace {

using namespace std::chrono_literals;
using testing::BesideThisProgram;
using testing::FileBytes;
using testing::LocalServerRegistration;
using testing::TemporaryFolder;

using namespace testing;  // the designed layout's control identifiers

// The window class each kind of control has.
const char* WindowClassOf(int id) {
  if (id == kText1 || id == kText2 || id == kText3) return "Edit";
  if (id == kProgressBar1) return "msctls_progress32";
  return "Button";
}

TEST_F(WindowTest, FirstStartShowsTheDesignedWindowWithItsDefaultsAndStoresThem) {
  Program program;
  for (const DesignedControl& designed : kDesignedLayout) {
    const HWND control = program.Control(designed.id);
    ASSERT_NE(control, nullptr) << designed.name;
    EXPECT_EQ(ClassOf(control), WindowClassOf(designed.id)) << designed.name;
    if (designed.caption != nullptr) {
      EXPECT_EQ(TextOf(control), designed.caption);
    }
    RECT place{};
    GetWindowRect(control, &place);
    MapWindowPoints(nullptr, program.Main(), reinterpret_cast<POINT*>(&place), 2);
    EXPECT_EQ(place.left, designed.left) << designed.name;
    EXPECT_EQ(place.top, designed.top) << designed.name;
    EXPECT_EQ(place.right, designed.left + designed.width) << designed.name;
    EXPECT_EQ(place.bottom, designed.top + designed.height) << designed.name;
  }
  RECT client{};
  GetClientRect(program.Main(), &client);
  EXPECT_EQ(client.right, kDesignedClientWidth);
  EXPECT_EQ(client.bottom, kDesignedClientHeight);
  const LONG style = GetWindowLongA(program.Main(), GWL_STYLE);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);

  EXPECT_EQ(program.Text(kText1), "100");
  EXPECT_EQ(program.Text(kText2), "100000");
  EXPECT_TRUE(program.Text(kText3).ends_with("\\Desktop\\")) << program.Text(kText3);
  EXPECT_TRUE(program.Checked(kOption4));
  EXPECT_TRUE(program.Checked(kOption1));
  EXPECT_EQ(Setting("Text1"), "100");
  EXPECT_EQ(Setting("Text2"), "100000");
  EXPECT_EQ(Setting("Text3"), program.Text(kText3));
  EXPECT_EQ(Setting("LastFolderDot"), "(missing)");
}

TEST_F(WindowTest, ASecondStartRestoresWhatWasTyped) {
  {
    Program program;
    program.Type(kText1, "42");
    program.Type(kText2, "abc");
    program.Type(kText3, output);
  }
  EXPECT_EQ(Setting("Text2"), "abc");
  Program program;
  EXPECT_EQ(program.Text(kText1), "42");
  EXPECT_EQ(program.Text(kText2), "abc");
  EXPECT_EQ(program.Text(kText3), output);
}

TEST_F(WindowTest, ARunWritesTheResultsFileAndSaysWhereItIs) {
  Program program;
  program.Type(kText1, "5");
  program.Type(kText2, "10");
  program.Type(kText3, output);
  program.Press(kOption3);  // Odd
  program.Press(kPushButton6);
  const std::string path = Cat(output, "results.txt");
  ExpectPlainMessage(program.Answer(), Cat("Done.\r\r", path, "\r\n\r\nwas created."));
  const std::string bytes = FileBytes(path);
  ASSERT_FALSE(bytes.empty());
  int lines = 0;
  for (std::size_t at = 0; at < bytes.size(); ++lines) {
    const std::size_t end = bytes.find("\r\n", at);
    ASSERT_NE(end, std::string::npos) << "every line ends with CR LF";
    const int n = std::stoi(bytes.substr(at, end - at));
    EXPECT_TRUE(n % 2 == 1 && n >= 1 && n <= 11) << n;
    at = end + 2;
  }
  EXPECT_EQ(lines, 5);
}

// A key pressed and let go, as the keyboard sends it to the window in front.
void Key(WORD key) {
  INPUT input[2] = {};
  input[0].type = input[1].type = INPUT_KEYBOARD;
  input[0].ki.wVk = input[1].ki.wVk = key;
  input[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, input, sizeof(INPUT));
  std::this_thread::sleep_for(150ms);
}

TEST_F(WindowTest, EnterOrSpaceOnAFocusedButtonPressesItAndEnterOrEscapeInAFieldPressesNothing) {
  Program program;
  program.Type(kText1, "3");
  program.Type(kText3, output);
  SetForegroundWindow(program.Main());
  ASSERT_TRUE(Within<bool>(5s, [&]() -> std::optional<bool> {
                return GetForegroundWindow() == program.Main() ? std::optional(true) : std::nullopt;
              }).has_value());
  for (WORD key : {VK_RETURN, VK_ESCAPE})
    Key(key);   // in Text2, where the focus starts
  Key(VK_TAB);  // to Text1
  for (WORD key : {VK_RETURN, VK_ESCAPE})
    Key(key);
  EXPECT_FALSE(program.NextBox(1s).has_value());
  EXPECT_TRUE(IsWindowVisible(program.Main()));
  Key(VK_TAB);  // to "Start Generating"
  for (WORD key : {VK_RETURN, VK_SPACE}) {
    Key(key);
    const Box done = program.Answer();
    EXPECT_TRUE(done.text.starts_with("Done.")) << key;
    SetForegroundWindow(program.Main());
    std::this_thread::sleep_for(200ms);
  }
}

enum class Skin { Absent, Readable, Locked };

TEST_F(WindowTest, TheSkinBringsTheButtonFaceAndAnUnreadableOneIsReportedAtLine100) {
  const std::pair<Skin, COLORREF> cases[] = {{Skin::Absent, RGB(255, 255, 255)},
                                             {Skin::Readable, GetSysColor(COLOR_BTNFACE)},
                                             // what was done before the failure stays done
                                             {Skin::Locked, GetSysColor(COLOR_BTNFACE)}};
  for (const auto& [skin, colour] : cases) {
    TemporaryFolder program_folder;
    const std::filesystem::path program = program_folder.Path() / "Tallowby.exe";
    std::filesystem::copy_file(testing::HostPath(TALLOWBY_EXE), program);
    HANDLE lock = INVALID_HANDLE_VALUE;
    if (skin != Skin::Absent) {
      std::filesystem::create_directory(program_folder.Path() / "x");
      program_folder.Write("x\\o.cjs", "skin");
    }
    if (skin == Skin::Locked) {
      lock = CreateFileA((program_folder.Path() / "x" / "o.cjs").string().c_str(), GENERIC_READ, 0,
                         nullptr, OPEN_EXISTING, 0, nullptr);
      ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    }
    {
      Program running(program.string(), skin != Skin::Locked);
      if (skin == Skin::Locked) {
        const Box report = running.Answer();
        EXPECT_EQ(report.caption, "Application Error");
        EXPECT_NE(report.text.find("Form1.Form_Load at line 100\r\r"), std::string::npos)
            << report.text;
        running.WaitUntilShown();
      }
      std::this_thread::sleep_for(300ms);  // painted
      EXPECT_EQ(ColourAt(running.Main(), {4, 4}), colour) << static_cast<int>(skin);
      EXPECT_EQ(running.Text(kText1), "100");  // the rest of start-up ran
    }
    if (lock != INVALID_HANDLE_VALUE) CloseHandle(lock);
  }
}

TEST_F(WindowTest, ClosingDuringALongRunEndsTheProgramWithNothingWritten) {
  folder.Write("results.txt", "old\r\n");
  std::optional<Program> program(std::in_place);
  program->Type(kText1, "2000000000");  // prime numbers below two billion: half an hour
  program->Type(kText2, "2000000000");
  program->Type(kText3, output);
  program->Press(kOption7);
  program->Press(kPushButton6);
  const auto writing = Within<bool>(10s, [&]() -> std::optional<bool> {
    return folder.Entries().size() == 2 ? std::optional(true) : std::nullopt;
  });
  ASSERT_TRUE(writing.has_value()) << "the run did not start writing";
  std::this_thread::sleep_for(500ms);
  program.reset();  // closes the window, as its close button does, and waits for the end
  EXPECT_EQ(FileBytes(folder.Path() / "results.txt"), "old\r\n");
  EXPECT_EQ(folder.Entries(), std::vector<std::string>{"results.txt"});
}

struct Refusal {
  const char* count;
  const char* highest;
  bool folder_exists;
  int kind;
  const char* message;
};

TEST_F(WindowTest, InputThatCannotRunIsRefusedWithAPlainMessage) {
  const Refusal cases[] = {
      {"abc", "10", true, kOption1, "Must input a number."},
      {"5", "10", false, kOption1, "Folder does not exist. Please select another folder."},
      {"5", "0", true, kOption2,
       "No number of the kind \"Even\" can be drawn when the highest possible number is 0. "
       "Please choose another kind or another highest possible number."},
  };
  Program program;
  for (const Refusal& c : cases) {
    program.Type(kText1, c.count);
    program.Type(kText2, c.highest);
    program.Type(kText3, c.folder_exists ? output : Cat(output, "missing\\"));
    program.Press(c.kind);
    program.Press(kPushButton6);
    ExpectPlainMessage(program.Answer(), c.message);
  }
  EXPECT_TRUE(folder.Entries().empty());
}

TEST_F(WindowTest, AFailedWriteIsOneReportAtLine144AndNoDone) {
  std::filesystem::create_directory(folder.Path() / "results.txt");  // cannot become a file
  Program program;
  program.Type(kText1, "5");
  program.Type(kText3, output);
  program.Press(kPushButton6);
  const Box report = program.Answer();
  EXPECT_EQ(report.caption, "Application Error");
  EXPECT_TRUE(report.icon);
  EXPECT_EQ(report.buttons, std::vector<int>{IDOK});
  EXPECT_NE(report.text.find("\r\nin Orrindale2021/08/31.Form1.PushButton6_Click at line 144\r\r"),
            std::string::npos)
      << report.text;
  EXPECT_FALSE(program.NextBox(1500ms).has_value()) << "a failed write claimed success";
  EXPECT_EQ(folder.Entries(), std::vector<std::string>{"results.txt"});
  EXPECT_TRUE(std::filesystem::is_directory(folder.Path() / "results.txt"));
}

TEST_F(WindowTest, ExcelFileWithoutExcelSaysSoAndGoesBackToTextFile) {
  Program program;
  program.Press(kOption6);
  ExpectPlainMessage(program.Answer(), "Excel is not installed.");
  EXPECT_TRUE(program.Checked(kOption4));
  EXPECT_FALSE(program.Checked(kOption6));
}

TEST_F(WindowTest, ExcelFileFillsANewWorkbookOfTheApplicationRegisteredAsExcel) {
  const std::string log = (folder.Path() / "stand-in.log").string();
  ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, testing::kStandInSettingsKey, "Log", REG_SZ,
                            log.c_str(), static_cast<DWORD>(log.size() + 1)),
            ERROR_SUCCESS);
  {
    const LocalServerRegistration excel(
        testing::kStandInClassIdText, "Excel.Application",
        Cat("\"", BesideThisProgram("excel_stand_in_server.exe"), "\""));
    Program program;
    program.Press(kOption6);
    EXPECT_FALSE(program.NextBox(1500ms).has_value()) << "Excel was reported missing";
    EXPECT_TRUE(program.Checked(kOption6));
    program.Type(kText1, "5");
    program.Type(kText2, "10");
    program.Press(kPushButton6);
    ExpectPlainMessage(program.Answer(), "Done.\r\r\r\n\r\nwas created.");
  }
  RegDeleteTreeA(HKEY_CURRENT_USER, testing::kStandInSettingsKey);
  const std::optional<std::string> cells =
      Within<std::string>(10s, [&]() -> std::optional<std::string> {
        std::string text = FileBytes(log);
        return text.ends_with("end\n") ? std::optional(text) : std::nullopt;
      });
  ASSERT_TRUE(cells.has_value());
  for (int row = 1; row <= 5; ++row) {
    const std::string cell = Cat("A", std::to_string(row), " n:");
    const std::size_t at = cells->find(cell);
    ASSERT_NE(at, std::string::npos) << *cells;
    const int n = std::stoi(cells->substr(at + cell.size()));
    EXPECT_TRUE(n >= 1 && n <= 11) << n;
  }
  EXPECT_EQ(cells->find("A6 "), std::string::npos);
}

}  // namespace
}  // namespace tallowby
