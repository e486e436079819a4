// Finding LibreOffice Calc, and starting offices that do not come up: nothing here starts a real
// office, so every outcome is decided by files this test writes.
#include "calc/calc_installation.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "calc/calc_launcher.h"
#include "calc/office_fixture.h"
#include "core/ports/failure.h"
#include "platform/posix/spreadsheet_plugin.h"
#include "support/temporary_folder.h"

namespace tallowby::calc::testing {
namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;
using std::chrono::steady_clock;
using tallowby::testing::TemporaryFolder;

// An office folder made of the given files; soffice is a shell script running script_body, and
// soffice.bin a stand-in the inspection only looks at.
void MakeOffice(const TemporaryFolder& folder, const std::vector<std::string>& files,
                const std::string& script_body = "exit 1") {
  for (const std::string& name : files) {
    folder.Write(name, name == "soffice" ? "#!/bin/sh\n" + script_body + "\n" : "");
    if (name.starts_with("soffice")) ::chmod((folder.Path() / name).c_str(), 0755);
  }
}

const std::vector<std::string> kCompleteOffice = {"soffice", "soffice.bin", "libsclo.so",
                                                  "libvclplug_genlo.so"};

struct InstallationCase {
  const char* name;
  std::vector<std::string> files;
  CalcInstallState state;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const InstallationCase& value, std::ostream* out) {
  *out << value.name;
}

class InstallationTest : public ::testing::TestWithParam<InstallationCase> {};

TEST_P(InstallationTest, TellsWhetherCalcCanShowAWorkbook) {
  TemporaryFolder folder;
  MakeOffice(folder, GetParam().files);
  const std::string soffice = (folder.Path() / "soffice").string();
  EXPECT_EQ(InspectCalcInstallation(soffice).state, GetParam().state);

  CalcOptions options;
  options.soffice = soffice;
  const auto launcher = CreateCalcLauncher(options);
  EXPECT_EQ(launcher->IsPresent(), GetParam().state == CalcInstallState::kPresent);
  if (GetParam().state != CalcInstallState::kPresent) {
    try {
      launcher->StartHidden();
      ADD_FAILURE() << "started an office that is not there";
    } catch (const Failure& failure) {
      EXPECT_EQ(failure.Description(), DescribeMissingCalc(GetParam().state));
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Folders, InstallationTest,
    ::testing::Values(
        InstallationCase{"Complete", kCompleteOffice, CalcInstallState::kPresent},
        InstallationCase{"OtherWindowSystem",
                         {"soffice", "soffice.bin", "libsclo.so", "libvclplug_kf5lo.so"},
                         CalcInstallState::kPresent},
        // The packages built without windows ("-nogui") bring no window-system plugin.
        InstallationCase{
            "NoWindows", {"soffice", "soffice.bin", "libsclo.so"}, CalcInstallState::kNoWindows},
        InstallationCase{"OnlyDrawingIntoMemory",
                         {"soffice", "soffice.bin", "libsclo.so", "libvclplug_svplo.so"},
                         CalcInstallState::kNoWindows},
        InstallationCase{"WriterWithoutCalc",
                         {"soffice", "soffice.bin", "libvclplug_genlo.so"},
                         CalcInstallState::kNoCalc},
        InstallationCase{"NoProgram",
                         {"soffice", "libsclo.so", "libvclplug_genlo.so"},
                         CalcInstallState::kNoOffice},
        InstallationCase{"NoStartScript",
                         {"soffice.bin", "libsclo.so", "libvclplug_genlo.so"},
                         CalcInstallState::kNoOffice}),
    [](const ::testing::TestParamInfo<InstallationCase>& info) { return info.param.name; });

TEST(InstallationTest, FollowsALinkFromTheCommandFolderToTheOffice) {
  TemporaryFolder folder;
  MakeOffice(folder, kCompleteOffice);
  fs::create_directory(folder.Path() / "bin");
  fs::create_symlink(folder.Path() / "soffice", folder.Path() / "bin" / "soffice");
  const CalcInstallation found = InspectCalcInstallation((folder.Path() / "bin/soffice").string());
  EXPECT_EQ(found.state, CalcInstallState::kPresent);
}

// This machine has the full libreoffice-calc; the check finds it quickly and starts nothing.
TEST(InstallationTest, FindsThisMachinesCalcQuicklyWithoutStartingIt) {
  const std::vector<pid_t> offices_before = ProcessesMentioning("soffice");
  const auto start = steady_clock::now();
  EXPECT_TRUE(CreateCalcLauncher()->IsPresent());
  EXPECT_TRUE(LoadSpreadsheetPlugin(TALLOWBY_PLUGIN_FOLDER)->IsPresent());
  EXPECT_LT(steady_clock::now() - start, milliseconds(300));
  for (const pid_t office : ProcessesMentioning("soffice")) {
    EXPECT_NE(std::find(offices_before.begin(), offices_before.end(), office), offices_before.end())
        << "an office was started";
  }
}

struct StartCase {
  const char* name;
  const char* script_body;
  milliseconds start_timeout;
  const char* failure;
};

void PrintTo(const StartCase& value, std::ostream* out) {
  *out << value.name;
}

class StartFailureTest : public ::testing::TestWithParam<StartCase> {};

TEST_P(StartFailureTest, GivesUpInTimeAndLeavesNothingRunning) {
  TemporaryFolder folder;
  MakeOffice(folder, kCompleteOffice, GetParam().script_body);
  CalcOptions options;
  options.soffice = (folder.Path() / "soffice").string();
  options.start_timeout = GetParam().start_timeout;
  const auto start = steady_clock::now();
  try {
    CreateCalcLauncher(options)->StartHidden();
    ADD_FAILURE() << "an office that never answers was taken as started";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.Description(), std::string(GetParam().failure));
  }
  EXPECT_LT(steady_clock::now() - start, GetParam().start_timeout + milliseconds(5000));
  EXPECT_EQ(ProcessesMentioning(folder.Path().string()), std::vector<pid_t>{});
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, StartFailureTest,
    ::testing::Values(
        StartCase{"EndsWithAnError", "exit 3", milliseconds(30'000),
                  "LibreOffice could not be started: it ended with exit status 3."},
        // Ending with status 0 means handing over to a running office; here there is none.
        StartCase{"HandsOverToNobody", "exit 0", milliseconds(1000),
                  "LibreOffice could not be started: it did not answer within 1 second."},
        StartCase{"NeverAnswers", "sleep 600", milliseconds(1500),
                  "LibreOffice could not be started: it did not answer within 1.5 seconds."}),
    [](const ::testing::TestParamInfo<StartCase>& info) { return info.param.name; });

}  // namespace
}  // namespace tallowby::calc::testing
