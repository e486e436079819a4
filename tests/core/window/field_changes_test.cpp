// What the window does between commands: every edit stored, a store that fails told once, and
// the presence check on "Excel File".
#include <gtest/gtest.h>

#include "support/window_services.h"

namespace tallowby {
namespace {

class FieldChangesTest : public ::testing::Test, protected testing::BehaviourOnStandIns {};

TEST_F(FieldChangesTest, EveryEditIsStoredAndAStoreThatFailsIsToldOnceUntilItWorksAgain) {
  MainWindowBehaviour& window = Make();
  const struct {
    bool unwritable;
    const char* typed;
    std::size_t notices;  // notices shown so far
  } edits[] = {{false, "2", 0},  {false, "25", 0}, {true, "250", 1}, {true, "2500", 1},
               {false, "25", 1}, {true, "2", 2},   {false, "", 2}};
  for (const auto& edit : edits) {
    settings.unwritable = edit.unwritable;
    window.FieldEdited(Field::Count, edit.typed);
    EXPECT_EQ(view.boxes.size(), edit.notices) << edit.typed;
  }
  EXPECT_EQ(settings.writes.size(), std::size(edits));
  EXPECT_EQ(settings.Stored("Text1"), "");  // empty, not missing
  const testing::ShownBox& notice = view.boxes.at(0);
  EXPECT_EQ(notice.text,
            "The settings could not be saved.\r\n\r\nTallowby keeps working with what you typed, "
            "but cannot remember it for the next start.");
  EXPECT_EQ(notice.caption, "Tallowby");
  EXPECT_EQ(notice.icon, MessageIcon::Warning);
}

TEST_F(FieldChangesTest, ExcelFileWithoutTheSpreadsheetApplicationFallsBackToTextFile) {
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
    spreadsheet = launcher;
    Make().OutputChosen(OutputKind::ExcelFile);
    EXPECT_EQ(view.log, expected);
    behaviour->OutputChosen(OutputKind::TextFile);  // never checks anything
    EXPECT_EQ(view.log, expected);
  }
  EXPECT_EQ(absent.checks, 1);
  EXPECT_EQ(present.checks, 1);
  EXPECT_EQ(view.boxes.at(0).caption, "Tallowby");
  EXPECT_EQ(view.boxes.at(0).icon, MessageIcon::None);
}

}  // namespace
}  // namespace tallowby
