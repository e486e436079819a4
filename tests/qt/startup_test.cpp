// Start-up through the real Qt window: defaults, restored texts, skin, cursor, site visit, icon.
#include <gtest/gtest.h>

#include <QFile>
#include <QIcon>

#include "core/run/error_report_text.h"
#include "core/window/site_visit.h"
#include "program_fixture.h"
#include "qt/style_sheet_skin.h"

namespace tallowby {
namespace {

using testing::ProgramTest;

class StartupTest : public ProgramTest {
 protected:
  QString ExpectedFolder() const { return desktop + "/"; }
  QStringList Reports() const {
    QStringList reports;
    for (const auto& box : boxes.shown) {
      if (box.caption == "Application Error") reports << box.text;
    }
    return reports;
  }
  static QString Report(const std::string& description, int line) {
    return QString::fromStdString(ErrorReportText(description, kFormLoadIdentity, line));
  }
};

TEST_F(StartupTest, FirstStartShowsTheDefaultsAndStoresThem) {
  MainWindow& window = Start().Window();
  EXPECT_EQ(window.Text1()->text(), "100");
  EXPECT_EQ(window.Text2()->text(), "100000");
  EXPECT_EQ(window.Text3()->text(), ExpectedFolder());
  EXPECT_EQ(settings.Stored("Text1"), "100");
  EXPECT_EQ(settings.Stored("Text2"), "100000");
  EXPECT_EQ(settings.Stored("Text3"), ExpectedFolder());
  EXPECT_FALSE(settings.Stored("LastFolderDot").has_value());
  EXPECT_TRUE(boxes.shown.empty());
  EXPECT_EQ(window.windowTitle(), "Tallowby");
  EXPECT_EQ(application->Behaviour().ApplicationTitle(), "Tallowby");
  EXPECT_EQ(window.SelectedKind(), NumberKind::AllNumbers);
  EXPECT_EQ(window.SelectedOutput(), OutputKind::TextFile);
}

struct Restore {
  const char* key;
  const char* stored;
};

// Stored texts come back exactly as stored: empty stays empty, nothing is checked or trimmed.
TEST_F(StartupTest, RestoresStoredTextsExactly) {
  const Restore cases[] = {
      {"Text1", "abc"},     {"Text2", ""},           {"Text3", " /no such folder/ "},
      {"Text1", "1,5e3"},   {"Text2", "@Invalid()"}, {"Text3", "\"quoted\" ; x"},
      {"Text1", "ünïcödé"}, {"Text2", "a\\b"}};
  for (const auto& c : cases) {
    settings.Store(c.key, QString::fromUtf8(c.stored));
    MainWindow& window = Start().Window();
    const std::map<std::string, QLineEdit*> fields = {
        {"Text1", window.Text1()}, {"Text2", window.Text2()}, {"Text3", window.Text3()}};
    EXPECT_EQ(fields.at(c.key)->text(), QString::fromUtf8(c.stored)) << c.key << "=" << c.stored;
    EXPECT_EQ(settings.Stored(c.key), QString::fromUtf8(c.stored));
  }
}

TEST_F(StartupTest, ADamagedSkinIsReportedWithLine100AndTheRestStillRuns) {
  QDir(program_folder.path()).mkpath("x");
  QFile skin(program_folder.path() + "/x/o.cjs");
  ASSERT_TRUE(skin.open(QIODevice::WriteOnly));
  skin.write("QPushButton { color: red; ");  // never closed
  skin.close();

  MainWindow& window = Start().Window();
  ASSERT_EQ(Reports().size(), 1);
  EXPECT_EQ(Reports()[0], Report("The skin file is damaged: its style sheet is invalid", 100));
  // What was done before the failure stays done: the colours, but no style sheet.
  EXPECT_EQ(window.palette().color(QPalette::Window), ButtonFaceColour());
  EXPECT_TRUE(window.styleSheet().isEmpty());
  EXPECT_EQ(window.Text1()->text(), "100");
  EXPECT_EQ(window.windowTitle(), "Tallowby");
}

TEST_F(StartupTest, AMissingDesktopIsReportedWithLine132AndLeavesTheFolderEmpty) {
  desktop.clear();
  settings.Store("Text3", "/stored/");
  MainWindow& window = Start().Window();
  ASSERT_EQ(Reports().size(), 1);
  EXPECT_TRUE(Reports()[0].endsWith(
      QString::fromStdString(std::string("Form_Load at line 132\r\rPlease email screenshot of "
                                         "this message to ") +
                             std::string(SupportAddress()))));
  EXPECT_EQ(window.Text3()->text(), "");
  EXPECT_EQ(window.Text1()->text(), "100");
}

TEST_F(StartupTest, AnUnreadableStoreIsReportedForEachFieldWhichKeepsItsLayoutText) {
  ASSERT_TRUE(QDir().mkpath(settings.File()));  // a folder where the file should be
  MainWindow& window = Start().Window();
  const QString reason = "The settings could not be read from " + settings.File();
  EXPECT_EQ(Reports(),
            (QStringList{Report(reason.toStdString(), 128), Report(reason.toStdString(), 130),
                         Report(reason.toStdString(), 132)}));
  EXPECT_EQ(window.Text1()->text(), "Text1");
  EXPECT_EQ(window.Text2()->text(), "Text1");
  EXPECT_EQ(window.Text3()->text(), "");
  EXPECT_EQ(boxes.shown.size(), 3U);  // nothing was edited, so nothing else is said
}

TEST_F(StartupTest, TheHandCursorIsUsedWhenItsFileIsThereAndSilentlySkippedWhenNot) {
  {
    MainWindow& window = Start().Window();
    EXPECT_FALSE(window.HasCustomPointer());
    EXPECT_TRUE(boxes.shown.empty());
  }
  const QString built_cursor = TALLOWBY_TEST_PROGRAM_DIR "/HAND-M.CUR";
  ASSERT_TRUE(QFile::copy(built_cursor, program_folder.path() + "/HAND-M.CUR"))
      << built_cursor.toStdString();
  MainWindow& window = Start().Window();
  EXPECT_TRUE(window.HasCustomPointer());
  EXPECT_TRUE(boxes.shown.empty());

  // A damaged cursor file is a failure of line 106, and start-up goes on.
  QFile damaged(program_folder.path() + "/HAND-M.CUR");
  ASSERT_TRUE(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
  damaged.write("not a cursor");
  damaged.close();
  MainWindow& again = Start().Window();
  EXPECT_FALSE(again.HasCustomPointer());
  ASSERT_EQ(Reports().size(), 1);
  EXPECT_TRUE(Reports()[0].contains("Form_Load at line 106"));
  EXPECT_EQ(again.Text2()->text(), "100000");
}

TEST_F(StartupTest, OpensTheMakersSiteOnlyWhenTheDrawIsSeven) {
  // floor(u * 100) + 1: 0.06 draws 7, its neighbours do not.
  const std::pair<double, bool> cases[] = {
      {0.06, true}, {0.0699, true}, {0.0599, false}, {0.07, false}, {0.5, false}};
  for (const auto& [u, visits] : cases) {
    site.visits.clear();
    testing::ScriptedSource scripted({u});
    services.random = &scripted;
    Start();
    EXPECT_EQ(site.visits,
              visits ? std::vector<std::string>{SiteAddress()} : std::vector<std::string>{})
        << u;
    EXPECT_EQ(scripted.Seeds(), 1);
    EXPECT_EQ(scripted.LastSeedClock(), 1000.0F);
  }
  EXPECT_TRUE(SiteAddress().find(".example") != std::string::npos);
}

TEST_F(StartupTest, GivesTheWindowAllFourIconImages) {
  MainWindow& window = Start().Window();
  const QList<QSize> sizes = window.windowIcon().availableSizes();
  for (int size : {32, 48, 128, 256})
    EXPECT_TRUE(sizes.contains(QSize(size, size))) << size;
}

// Not a check: pictures of the window as it starts, plain and with the shipped skin, left in the
// build folder for people to look at.
TEST_F(StartupTest, LeavesScreenshotsForReview) {
  MainWindow& plain = Start().Window();
  plain.show();
  EXPECT_TRUE(plain.grab().save(TALLOWBY_TEST_OUTPUT_DIR "/form1-plain.png"));
  services.program_folder = TALLOWBY_TEST_PROGRAM_DIR;
  desktop = "/home/user/Desktop";
  MainWindow& skinned = Start().Window();
  skinned.show();
  EXPECT_TRUE(boxes.shown.empty());
  EXPECT_TRUE(skinned.grab().save(TALLOWBY_TEST_OUTPUT_DIR "/form1.png"));
}

}  // namespace
}  // namespace tallowby
