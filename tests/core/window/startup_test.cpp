// Start-up, through the recording view: the defaults, restored texts, the skin, the hand
// cursor, the site visit, and each failing step reported with its line while the rest runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "core/run/error_report_text.h"
#include "core/window/site_visit.h"
#include "support/window_services.h"

namespace tallowby {
namespace {

// Public: the table of failing steps arranges the stand-ins through it.
class StartupTest : public ::testing::Test, public testing::BehaviourOnStandIns {
 public:
  std::string Separator() const { return std::string(1, PathSeparator(kNativePathStyle)); }
  std::string ProgramFile(const std::string& name) const {
    return (program_folder.Path() / name).string();
  }
  void WriteProgramFile(const std::string& name, const std::string& bytes) {
    std::filesystem::create_directories((program_folder.Path() / name).parent_path());
    program_folder.Write(name, bytes);
  }
  // The reports shown, as "LINE: DESCRIPTION".
  std::vector<std::string> Reports() const {
    std::vector<std::string> reports;
    for (const std::string& entry : view.log) {
      if (entry.starts_with("report ")) reports.push_back(entry.substr(7));
    }
    return reports;
  }
};

TEST_F(StartupTest, FirstStartShowsTheDefaultsAndStoresThem) {
  MainWindowBehaviour& window = Make();
  window.Load();
  const std::string folder = desktop + Separator();
  EXPECT_EQ(view.count, "100");
  EXPECT_EQ(view.highest, "100000");
  EXPECT_EQ(view.folder, folder);
  EXPECT_EQ(settings.writes,
            (std::vector<std::string>{"Text1=100", "Text2=100000", "Text3=" + folder}));
  EXPECT_EQ(view.caption, "Tallowby");
  EXPECT_TRUE(view.icon_set);
  EXPECT_EQ(window.ApplicationTitle(), "Tallowby");
  EXPECT_TRUE(view.boxes.empty());
  EXPECT_TRUE(skin.calls.empty());  // no skin file, no skin
}

// Stored texts come back exactly as stored: empty stays empty, nothing is checked or trimmed.
TEST_F(StartupTest, RestoresStoredTextsAsStoredAndOnlyDefaultsWhatIsMissing) {
  settings.values = {{"Text1", "abc"}, {"Text2", ""}, {"Text3", " /no such folder/ "}};
  Make().Load();
  EXPECT_EQ(view.count, "abc");
  EXPECT_EQ(view.highest, "");
  EXPECT_EQ(view.folder, " /no such folder/ ");
}

struct FailingStep {
  const char* name;
  std::function<void(StartupTest&)> arrange;
  std::vector<std::string> reports;
  // What the fields show afterwards: the steps after the failing one still ran.
  std::string count, highest, folder;
};

TEST_F(StartupTest, AFailingStepIsReportedWithItsLineAndTheRestStillRuns) {
  const FailingStep cases[] = {
      {"damaged skin",
       [](StartupTest& t) {
         t.WriteProgramFile("x/o.cjs", "x");
         t.skin.refuse = true;
       },
       {"100: The skin file is damaged"},
       "100",
       "100000",
       "/home/user/Desktop"},
      {"damaged cursor",
       [](StartupTest& t) {
         t.WriteProgramFile("HAND-M.CUR", "not a cursor");
         t.view.unreadable_cursor = t.ProgramFile("HAND-M.CUR");
       },
       {"106: The cursor file is damaged"},
       "100",
       "100000",
       "/home/user/Desktop"},
      {"no desktop, the stored folder is not shown either",
       [](StartupTest& t) {
         t.desktop.clear();
         t.settings.values["Text3"] = "/stored/";
       },
       {"132: Invalid procedure call or argument: the desktop folder could not be found"},
       "100",
       "100000",
       ""},
      {"unreadable store: each field keeps its layout text",
       [](StartupTest& t) { t.settings.unreadable = true; },
       {"128: The settings could not be read", "130: The settings could not be read",
        "132: The settings could not be read"},
       "Text1",
       "Text1",
       ""},
  };
  for (const FailingStep& c : cases) {
    StartupTest& t = *this;
    t.view = testing::RecordingView{};
    t.view.count = t.view.highest = "Text1";
    t.view.folder.clear();
    t.settings = testing::InMemorySettings{};
    t.skin = testing::RecordingSkinEngine{};
    t.desktop = "/home/user/Desktop";
    std::filesystem::remove_all(program_folder.Path() / "x");
    std::filesystem::remove(program_folder.Path() / "HAND-M.CUR");
    c.arrange(t);
    Make().Load();
    EXPECT_EQ(Reports(), c.reports) << c.name;
    EXPECT_EQ(view.count, c.count) << c.name;
    EXPECT_EQ(view.highest, c.highest) << c.name;
    EXPECT_EQ(view.folder, c.folder.empty() ? "" : c.folder + Separator()) << c.name;
    EXPECT_EQ(view.caption, "Tallowby") << c.name;
    for (const testing::ShownBox& box : view.boxes) {
      EXPECT_EQ(box.caption, "Application Error");
      EXPECT_EQ(box.icon, MessageIcon::Warning);
      EXPECT_NE(box.text.find(std::string(kFormLoadIdentity) + "at line "), std::string::npos);
    }
  }
}

TEST_F(StartupTest, ASkinFileDressesTheWindowAndCallsTheEngineInOrder) {
  WriteProgramFile("x/o.cjs", "QWidget {}");
  Make().Load();
  EXPECT_EQ(view.log.front(), "button face");
  EXPECT_EQ(skin.calls, (std::vector<std::string>{"load o.cjs []", "read options", "options 65",
                                                  "enabled 1", "dialogs 1", "apply"}));
  // A refused skin keeps the colours already set.
  view = testing::RecordingView{};
  skin = testing::RecordingSkinEngine{};
  skin.refuse = true;
  Make().Load();
  EXPECT_EQ(view.log.front(), "button face");
  EXPECT_EQ(skin.calls, std::vector<std::string>{"load o.cjs []"});
}

TEST_F(StartupTest, AHiddenOrFolderSkinIsNoSkin) {
  std::filesystem::create_directories(program_folder.Path() / "x" / "o.cjs");
  Make().Load();
  EXPECT_TRUE(skin.calls.empty());
  EXPECT_EQ(std::count(view.log.begin(), view.log.end(), "button face"), 0);
}

TEST_F(StartupTest, TheHandCursorIsUsedWhenItsFileIsThereAndSilentlySkippedWhenNot) {
  Make().Load();
  EXPECT_EQ(view.custom_pointer, "");
  WriteProgramFile("HAND-M.CUR", "a cursor");
  view = testing::RecordingView{};
  Make().Load();
  EXPECT_EQ(view.custom_pointer, ProgramFile("HAND-M.CUR"));
  EXPECT_TRUE(view.boxes.empty());
}

TEST_F(StartupTest, OpensTheMakersSiteOnlyWhenTheDrawIsSeven) {
  // floor(u * 100) + 1: 0.06 draws 7, its neighbours do not.
  const std::pair<double, bool> cases[] = {
      {0.06, true}, {0.0699, true}, {0.0599, false}, {0.07, false}, {0.5, false}};
  for (const auto& [u, visits] : cases) {
    site.visits.clear();
    random = testing::ScriptedSource({u});
    Make().Load();
    EXPECT_EQ(site.visits,
              visits ? std::vector<std::string>{SiteAddress()} : std::vector<std::string>{})
        << u;
    EXPECT_EQ(random.Seeds(), 1);
    EXPECT_EQ(random.LastSeedClock(), 1000.0F);
  }
  EXPECT_TRUE(SiteAddress().find(".example") != std::string::npos);
}

}  // namespace
}  // namespace tallowby
