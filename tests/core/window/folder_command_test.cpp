// The "..." button: the chosen folder stored as the dialog gave it and shown with exactly one
// trailing separator.
#include <gtest/gtest.h>

#include "support/window_services.h"

namespace tallowby {
namespace {

class FolderCommandTest : public ::testing::Test, protected testing::BehaviourOnStandIns {};

struct Choice {
  std::string chosen;
  std::string field;        // what the folder field shows afterwards
  const char* last_folder;  // "LastFolderDot"; nullptr: not stored
};

TEST_F(FolderCommandTest, StoresTheChoiceAndShowsItWithOneSeparator) {
#ifdef _WIN32
  const std::vector<Choice> cases = {
      {"", "before", nullptr},  // cancel: nothing changes
      {R"(C:\)", R"(C:\)", R"(C:\)"},
      {R"(D:\Data)", R"(D:\Data\)", R"(D:\Data)"},
  };
#else
  const std::vector<Choice> cases = {
      {"", "before", nullptr},
      {"/", "/", "/"},
      {"/home/user/Data", "/home/user/Data/", "/home/user/Data"},
  };
#endif
  MainWindowBehaviour& window = Make();
  view.folder = "before";
  for (const Choice& c : cases)
    chooser.answers.push_back(c.chosen);
  for (const Choice& c : cases) {
    settings = testing::InMemorySettings{};
    window.FolderButtonPressed();
    EXPECT_EQ(view.folder, c.field) << c.chosen;
    if (c.last_folder == nullptr) {
      EXPECT_TRUE(settings.writes.empty());
    } else {
      EXPECT_EQ(settings.writes,
                (std::vector<std::string>{std::string("LastFolderDot=") + c.last_folder,
                                          "Text3=" + c.field}));
    }
  }
  EXPECT_TRUE(view.boxes.empty());
  // Every use opens at the dialog's own default place, whatever the field holds.
  EXPECT_EQ(chooser.initial_folders, std::vector<std::string>(cases.size(), ""));
  EXPECT_EQ(chooser.titles, std::vector<std::string>(cases.size(), "Save To This Folder"));
}

TEST_F(FolderCommandTest, AStoreThatCannotBeWrittenIsReportedWithLine104AndTheFieldIsStillSet) {
  MainWindowBehaviour& window = Make();
  settings.unwritable = true;
  chooser.answers = {"/srv/out"};
  window.FolderButtonPressed();
  EXPECT_EQ(view.folder, "/srv/out" + std::string(1, PathSeparator(kNativePathStyle)));
  ASSERT_GE(view.boxes.size(), 1U);
  EXPECT_EQ(view.log.front(), "report 104: The settings could not be saved");
  EXPECT_EQ(view.boxes[0].caption, "Application Error");
  EXPECT_EQ(view.boxes[0].icon, MessageIcon::Warning);
  EXPECT_NE(view.boxes[0].text.find("PushButton1_Click at line 104\r\r"), std::string::npos);
}

}  // namespace
}  // namespace tallowby
