#include "platform/posix/spreadsheet_plugin.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>

#include "core/ports/failure.h"
#include "support/temporary_folder.h"

namespace tallowby {
namespace {

namespace fs = std::filesystem;
using testing::TemporaryFolder;

const std::string kCannotStart = "LibreOffice Calc could not be started: ";

struct PluginCase {
  const char* name;
  std::string plugin;  // the file put in place of the plugin: none, a text, or a built stand-in
  bool present;
  std::string failure;  // how StartHidden's failure begins
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const PluginCase& value, std::ostream* out) {
  *out << value.name;
}

const std::string kText = "text";

class PluginLoaderTest : public ::testing::TestWithParam<PluginCase> {};

TEST_P(PluginLoaderTest, UsesOnlyAPluginThatFitsAndOtherwiseSaysWhy) {
  TemporaryFolder folder;
  if (GetParam().plugin == kText) {
    folder.Write(kSpreadsheetPluginFileName, "not a library");
  } else if (!GetParam().plugin.empty()) {
    fs::copy_file(GetParam().plugin, folder.Path() / kSpreadsheetPluginFileName);
  }
  const auto launcher = LoadSpreadsheetPlugin(folder.Path().string());
  EXPECT_EQ(launcher->IsPresent(), GetParam().present);
  try {
    launcher->StartHidden();
    ADD_FAILURE() << "started";
  } catch (const Failure& failure) {
    EXPECT_EQ(std::string(failure.Description()).substr(0, GetParam().failure.size()),
              GetParam().failure)
        << failure.Description();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Plugins, PluginLoaderTest,
    ::testing::Values(
        PluginCase{"Missing", "", false,
                   kCannotStart +
                       "Tallowby's LibreOffice support (libtallowby_calc.so) is not installed."},
        PluginCase{"NotALibrary", kText, false,
                   kCannotStart + "libtallowby_calc.so could not be loaded ("},
        PluginCase{"LibreOfficeAbsent", FAKE_PLUGIN_WITHOUT_UNO, false,
                   kCannotStart + "it is not installed (package libreoffice-calc)."},
        PluginCase{"OtherVersion", FAKE_PLUGIN_OTHER_ABI, false,
                   kCannotStart + "libtallowby_calc.so belongs to another version of Tallowby."},
        // The plugin's own Failure crosses into the program as a Failure, text and all.
        PluginCase{"Fitting", FAKE_PLUGIN, true, "The fake spreadsheet never starts."}),
    [](const ::testing::TestParamInfo<PluginCase>& info) { return info.param.name; });

}  // namespace
}  // namespace tallowby
