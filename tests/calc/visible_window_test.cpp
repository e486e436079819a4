// The workbook's window, on a real (virtual) screen: hidden while the run fills it, shown after.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <thread>

#include "calc/office_fixture.h"
#include "output/calc/calc_launcher.h"
#include "output/calc/office_process.h"

namespace tallowby::calc::testing {
namespace {

namespace fs = std::filesystem;
using std::chrono::seconds;

constexpr const char* kXvfb = "/usr/bin/Xvfb";

class VisibleWindowTest : public OfficeTest {
 protected:
  void SetUp() override {
    if (!fs::exists(kXvfb)) GTEST_SKIP() << "Xvfb is not installed (package xvfb)";
    // A display number nobody uses; Xvfb itself refuses one that is taken.
    for (int number = 90; number < 190 && display_.empty(); ++number) {
      if (fs::exists("/tmp/.X" + std::to_string(number) + "-lock")) continue;
      std::string display = ":";  // not ":" + text: GCC 12 warns falsely about that at -O3
      display += std::to_string(number);
      xvfb_ = OfficeProcess::Start(
          kXvfb, {"Xvfb", display, "-screen", "0", "1280x1024x24", "-nolisten", "tcp"}, {});
      const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
      for (int wait = 0; wait < 100 && !fs::exists(socket) && !xvfb_->ExitStatus(); ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
      }
      if (fs::exists(socket) && !xvfb_->ExitStatus()) display_ = display;
    }
    if (display_.empty()) GTEST_SKIP() << "Xvfb did not start";
  }

  void TearDown() override {
    OfficeTest::TearDown();
    if (xvfb_) xvfb_->Stop(seconds(3));
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
  application->WriteFirstColumn(std::vector<std::int32_t>{3, 11, 7, 7, 1});
  EXPECT_FALSE(Observer(Pipe()).WindowVisible(0));
  application->MakeVisible();
  EXPECT_TRUE(Observer(Pipe()).WindowVisible(0));
  application.reset();

  Observer observer(Pipe());
  ASSERT_EQ(observer.SpreadsheetCount(), 1);
  EXPECT_TRUE(observer.WindowVisible(0));
  EXPECT_EQ(observer.NumberRanges(0), std::vector<std::string>{"A1:A5"});
  observer.CloseSpreadsheet(0);
}

}  // namespace
}  // namespace tallowby::calc::testing
