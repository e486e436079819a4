// The workbook's window, on a real (virtual) screen: hidden while the run fills it, shown after.
#include <gtest/gtest.h>
#include <signal.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "calc/calc_launcher.h"
#include "calc/office_fixture.h"
#include "calc/office_process.h"
#include "calc/poll_until.h"
#include "core/ports/failure.h"

namespace tallowby::calc::testing {
namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;
using std::chrono::seconds;

constexpr const char* kXvfb = "/usr/bin/Xvfb";

class VisibleWindowTest : public OfficeTest {
 protected:
  void SetUp() override {
    if (!fs::exists(kXvfb)) GTEST_SKIP() << "Xvfb is not installed (package xvfb)";
    if (std::system("command -v xdotool >/dev/null") != 0)
      GTEST_SKIP() << "xdotool is not installed";
    // Xvfb picks a free display itself and writes its number to descriptor 3: choosing one by
    // looking for lock files races with other test suites starting X servers at the same time.
    const fs::path number_file = Folder() / "display";
    xvfb_ = OfficeProcess::Start("/bin/sh",
                                 {"sh", "-c",
                                  std::string("exec ") + kXvfb +
                                      " -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>\"$0\"",
                                  number_file.string()},
                                 {});
    PollUntil(seconds(10), milliseconds(50), [&] {
      std::ifstream in(number_file);
      std::string line;
      if (std::getline(in, line) && !in.eof() && !line.empty()) display_ = ":" + line;
      return !display_.empty() || xvfb_->ExitStatus().has_value();
    });
    ASSERT_FALSE(display_.empty()) << "Xvfb did not start";
  }

  void TearDown() override {
    OfficeTest::TearDown();
    if (xvfb_) xvfb_->Stop(seconds(3));
  }

  // Whether a Calc window is mapped on the screen, as the user would see it, waiting up to
  // timeout for one to appear.
  bool CalcWindowShown(seconds timeout) const {
    const std::string command =
        "DISPLAY=" + display_ +
        " xdotool search --onlyvisible --name 'LibreOffice Calc' 2>/dev/null";
    return PollUntil(timeout, milliseconds(100), [&] {
      try {
        return !OutputOf(command).empty();
      } catch (const Failure&) {
        return false;  // xdotool ends with status 1 while it finds no window
      }
    });
  }

  std::string display_;
  std::unique_ptr<OfficeProcess> xvfb_;
};

TEST_F(VisibleWindowTest, ShowsTheFilledWorkbookAndLeavesItShown) {
  CalcOptions options = Options();
  options.extra_arguments = {ProfileArgument()};  // windows this time: no --headless
  options.extra_environment = {"DISPLAY=" + display_, "SAL_USE_VCLPLUGIN=gen"};
  auto application = CreateCalcLauncher(options)->StartHidden();
  application->AddWorkbook();
  application->WriteFirstColumn(std::vector<std::int32_t>{3, 11, 7, 7, 1}, 1);
  EXPECT_FALSE(CalcWindowShown(seconds(0)));
  application->MakeVisible();
  EXPECT_TRUE(CalcWindowShown(seconds(20)));
  application.reset();

  // Only now a connection of the test's own: UNO shares one proxy per office object within a
  // process, and one made while the application's connection lived could outlive it, broken.
  Observer observer(Pipe());
  ASSERT_EQ(observer.SpreadsheetCount(), 1);
  EXPECT_TRUE(observer.WindowVisible(0));
  EXPECT_EQ(observer.NumberRanges(0), std::vector<std::string>{"A1:A5"});
  observer.CloseSpreadsheet(0);
}

}  // namespace
}  // namespace tallowby::calc::testing
