// The whole Qt program on its real store, style sheet and cursor file: what start-up restores and
// reports, every edit stored, the icon, and closing.
#include <gtest/gtest.h>

#include <QFile>
#include <QIcon>
#include <QTest>
#include <QTimer>

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

// Every write of the settings file, as the file's successive texts for one key.
class KeyWatcher {
 public:
  KeyWatcher(const testing::IsolatedSettings& settings, QString key)
      : settings_(settings), key_(std::move(key)) {}
  void Sample() { values.push_back(settings_.Stored(key_).value_or("(missing)")); }
  QStringList values;

 private:
  const testing::IsolatedSettings& settings_;
  QString key_;
};

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
    const std::map<std::string, QLineEdit*> fields = {{"Text1", window.LineEdit(Field::Count)},
                                                      {"Text2", window.LineEdit(Field::Highest)},
                                                      {"Text3", window.LineEdit(Field::Folder)}};
    EXPECT_EQ(fields.at(c.key)->text(), QString::fromUtf8(c.stored)) << c.key << "=" << c.stored;
    EXPECT_EQ(settings.Stored(c.key), QString::fromUtf8(c.stored));
  }
}

// A hand-edited line with a comma and no quotes, which QSettings reads as a list, shows as written
// and stays in the file.
TEST_F(StartupTest, RestoresAHandEditedTextWithACommaAsWritten) {
  const std::pair<const char*, const char*> cases[] = {
      {"Text1=1,5", "1,5"}, {"Text2 = 7, 8 ,9", "7, 8 ,9"}, {"Text3=a,\"b\"", "a,\"b\""}};
  for (const auto& [line, shown] : cases) {
    testing::WriteFile(settings.File(), QByteArray("[Tallowby]\n") + line + "\nLastFolderDot=x\n");
    MainWindow& window = Start().Window();
    const QString key = QString::fromUtf8(line).section('=', 0, 0).trimmed();
    QLineEdit* field = window.findChild<QLineEdit*>(key);
    ASSERT_NE(field, nullptr) << line;
    EXPECT_EQ(field->text(), shown) << line;
    EXPECT_EQ(settings.Stored(key), shown) << line;
    EXPECT_EQ(settings.Stored("LastFolderDot"), "x") << line;
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
  EXPECT_EQ(window.LineEdit(Field::Count)->text(), "100");
  EXPECT_EQ(window.windowTitle(), "Tallowby");
}

TEST_F(StartupTest, AnUnreadableStoreIsReportedForEachFieldWhichKeepsItsLayoutText) {
  ASSERT_TRUE(QDir().mkpath(settings.File()));  // a folder where the file should be
  MainWindow& window = Start().Window();
  const QString reason = "The settings could not be read from " + settings.File();
  EXPECT_EQ(Reports(),
            (QStringList{Report(reason.toStdString(), 128), Report(reason.toStdString(), 130),
                         Report(reason.toStdString(), 132)}));
  EXPECT_EQ(window.LineEdit(Field::Count)->text(), "Text1");
  EXPECT_EQ(window.LineEdit(Field::Highest)->text(), "Text1");
  EXPECT_EQ(window.LineEdit(Field::Folder)->text(), "");
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
  EXPECT_EQ(again.LineEdit(Field::Highest)->text(), "100000");
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
  desktop = "/home/user/Desktop";  // the same pictures at every run
  MainWindow& plain = Start().Window();
  plain.show();
  EXPECT_TRUE(plain.grab().save(TALLOWBY_TEST_OUTPUT_DIR "/form1-plain.png"));
  services.program_folder = TALLOWBY_TEST_PROGRAM_DIR;
  MainWindow& skinned = Start().Window();
  skinned.show();
  EXPECT_TRUE(boxes.shown.empty());
  EXPECT_TRUE(skinned.grab().save(TALLOWBY_TEST_OUTPUT_DIR "/form1.png"));
}

TEST_F(ProgramTest, EveryEditOfAFieldIsStoredAtOnce) {
  MainWindow& window = Start().Window();
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  window.LineEdit(Field::Count)->clear();
  KeyWatcher watcher(settings, "Text1");
  QObject::connect(window.LineEdit(Field::Count), &QLineEdit::textChanged,
                   [&] { watcher.Sample(); });
  QTest::keyClicks(window.LineEdit(Field::Count), "250");
  EXPECT_EQ(watcher.values, (QStringList{"2", "25", "250"}));

  window.LineEdit(Field::Highest)->setFocus();
  QTest::keyClick(window.LineEdit(Field::Highest), Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(window.LineEdit(Field::Highest), Qt::Key_Delete);
  EXPECT_EQ(settings.Stored("Text2"), "");  // empty, not missing

  window.LineEdit(Field::Folder)->setText("/elsewhere/");  // the program's own edits count too
  EXPECT_EQ(settings.Stored("Text3"), "/elsewhere/");
}

TEST_F(ProgramTest, AStoreThatCannotBeWrittenIsToldOnceAndTheTextStays) {
  MainWindow& window = Start().Window();
  // A folder where the settings file should be: no write can succeed, not even as root.
  ASSERT_TRUE(QFile::remove(settings.File()));
  ASSERT_TRUE(QDir().mkdir(settings.File()));
  QTest::keyClicks(window.LineEdit(Field::Count), "123");
  EXPECT_EQ(window.LineEdit(Field::Count)->text(), "100123");
  ASSERT_EQ(boxes.shown.size(), 1U);
  EXPECT_TRUE(boxes.shown[0].text.startsWith("The settings could not be saved to "));
  EXPECT_EQ(boxes.shown[0].caption, "Tallowby");
  EXPECT_EQ(boxes.shown[0].icon, MessageIcon::Warning);

  // Once the store works again the notice is re-armed.
  ASSERT_TRUE(QDir().rmdir(settings.File()));
  QTest::keyClicks(window.LineEdit(Field::Count), "4");
  EXPECT_EQ(settings.Stored("Text1"), "1001234");
  ASSERT_TRUE(QFile::remove(settings.File()));
  ASSERT_TRUE(QDir().mkdir(settings.File()));
  QTest::keyClicks(window.LineEdit(Field::Highest), "9");
  EXPECT_EQ(boxes.shown.size(), 2U);
  ASSERT_TRUE(QDir().rmdir(settings.File()));
}

TEST_F(ProgramTest, ClosingTheMainWindowEndsTheProgramEvenFromANestedLoop) {
  MainWindow& window = Start().Window();
  window.show();
  QEventLoop nested;  // as a modal box would run
  bool outer_finished = false;
  QTimer::singleShot(0, &window, [&] {
    QTimer::singleShot(0, &window, [&] { window.close(); });
    nested.exec();
    outer_finished = true;
  });
  const int code = QApplication::exec();
  EXPECT_EQ(code, 0);
  EXPECT_TRUE(outer_finished);
}

}  // namespace
}  // namespace tallowby
