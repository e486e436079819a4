// The window's behaviour driven through the recording view, as every front end drives it: the
// pointer rules and the presence check on "Excel File", with the real settings store.
#include <gtest/gtest.h>

#include "core/window/main_window_behaviour.h"
#include "program_fixture.h"
#include "qt/style_sheet_skin.h"
#include "support/native_platform.h"
#include "support/recording_view.h"

namespace tallowby {
namespace {

using testing::RecordingView;

class WindowBehaviourTest : public ::testing::Test {
 protected:
  MainWindowBehaviour& Make(SpreadsheetLauncher* launcher) {
    behaviour = std::make_unique<MainWindowBehaviour>(
        view, WindowServices{.program_folder = "/nowhere",
                             .settings = store,
                             .files = files,
                             .skin = skin,
                             .site = site,
                             .chooser = chooser,
                             .spreadsheet = launcher,
                             .random = random,
                             .clock = [] { return 0.0F; },
                             .desktop_folder = [] { return std::string("/desk"); }});
    view.on_edit = [this](Field field, const std::string& text) {
      behaviour->FieldEdited(field, text);
    };
    return *behaviour;
  }

  testing::IsolatedSettings settings;
  QtSettingsStore store;
  NativeFileSystem files;
  StyleSheetSkinEngine skin{nullptr};
  testing::RecordingSiteVisitor site;
  testing::ScriptedFolderChooser chooser;
  testing::ScriptedSource random{std::vector<double>(8, 0.5)};
  RecordingView view;
  std::unique_ptr<MainWindowBehaviour> behaviour;
};

TEST_F(WindowBehaviourTest, ThePointerFollowsTheMouseOnlyWhenItChangesAndNeverWhileBusy) {
  MainWindowBehaviour& window = Make(nullptr);
  using Move = void (MainWindowBehaviour::*)();
  const std::pair<Move, const char*> moves[] = {
      {&MainWindowBehaviour::PointerOverButton, "pointer 99"},
      {&MainWindowBehaviour::PointerOverButton, nullptr},
      {&MainWindowBehaviour::PointerOverControl, "pointer 0"},
      {&MainWindowBehaviour::PointerOverControl, nullptr},
  };
  for (const auto& [move, logged] : moves) {
    view.log.clear();
    (window.*move)();
    EXPECT_EQ(view.log, logged ? std::vector<std::string>{logged} : std::vector<std::string>{});
  }
  window.Pointer().Set(PointerSetting::Busy);
  view.log.clear();
  window.PointerOverButton();
  window.PointerOverControl();
  EXPECT_TRUE(view.log.empty());
}

TEST_F(WindowBehaviourTest, ExcelFileWithoutASpreadsheetBackendFallsBackToTextFile) {
  testing::FakeSpreadsheet absent;
  testing::FakeSpreadsheet present;
  present.present = true;
  const std::pair<SpreadsheetLauncher*, std::vector<std::string>> cases[] = {
      {nullptr, {"message: Excel is not installed.", "select Text File"}},
      {&absent, {"message: Excel is not installed.", "select Text File"}},
      {&present, {}},
  };
  for (const auto& [launcher, expected] : cases) {
    view.log.clear();
    Make(launcher).OutputChosen(OutputKind::ExcelFile);
    EXPECT_EQ(view.log, expected);
    behaviour->OutputChosen(OutputKind::TextFile);  // never checks anything
    EXPECT_EQ(view.log, expected);
  }
  EXPECT_EQ(absent.checks, 1);
  EXPECT_EQ(view.boxes.at(0).caption, "Tallowby");
}

TEST_F(WindowBehaviourTest, StartUpRestoresAndStoresTheFieldsThroughTheView) {
  settings.Store("Text2", "77");
  Make(nullptr).Load();
  EXPECT_EQ(view.count, "100");
  EXPECT_EQ(view.highest, "77");
  EXPECT_EQ(view.folder, "/desk/");
  EXPECT_EQ(settings.Stored("Text3"), "/desk/");
  EXPECT_EQ(view.caption, "Tallowby");
  EXPECT_TRUE(view.icon_set);
  EXPECT_TRUE(view.boxes.empty());
}

}  // namespace
}  // namespace tallowby
