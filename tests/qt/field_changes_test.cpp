// Field changes through the real Qt window: every edit stored, select-all on focus, the
// presence check on "Excel File", and closing.
#include <gtest/gtest.h>

#include <QFile>
#include <QTest>
#include <QTimer>

#include "program_fixture.h"

namespace tallowby {
namespace {

using testing::ProgramTest;

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

TEST_F(ProgramTest, EveryEditOfAFieldIsStoredAtOnce) {
  MainWindow& window = Start().Window();
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  window.Text1()->clear();
  KeyWatcher watcher(settings, "Text1");
  QObject::connect(window.Text1(), &QLineEdit::textChanged, [&] { watcher.Sample(); });
  QTest::keyClicks(window.Text1(), "250");
  EXPECT_EQ(watcher.values, (QStringList{"2", "25", "250"}));

  window.Text2()->setFocus();
  QTest::keyClick(window.Text2(), Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(window.Text2(), Qt::Key_Delete);
  EXPECT_EQ(settings.Stored("Text2"), "");  // empty, not missing

  window.Text3()->setText("/elsewhere/");  // the program's own edits count too
  EXPECT_EQ(settings.Stored("Text3"), "/elsewhere/");
}

TEST_F(ProgramTest, AStoreThatCannotBeWrittenIsToldOnceAndTheTextStays) {
  MainWindow& window = Start().Window();
  // A folder where the settings file should be: no write can succeed, not even as root.
  ASSERT_TRUE(QFile::remove(settings.File()));
  ASSERT_TRUE(QDir().mkdir(settings.File()));
  QTest::keyClicks(window.Text1(), "123");
  EXPECT_EQ(window.Text1()->text(), "100123");
  ASSERT_EQ(boxes.shown.size(), 1U);
  EXPECT_TRUE(boxes.shown[0].text.startsWith("The settings could not be saved to "));
  EXPECT_EQ(boxes.shown[0].caption, "Tallowby");
  EXPECT_EQ(boxes.shown[0].icon, MessageIcon::Warning);

  // Once the store works again the notice is re-armed.
  ASSERT_TRUE(QDir().rmdir(settings.File()));
  QTest::keyClicks(window.Text1(), "4");
  EXPECT_EQ(settings.Stored("Text1"), "1001234");
  ASSERT_TRUE(QFile::remove(settings.File()));
  ASSERT_TRUE(QDir().mkdir(settings.File()));
  QTest::keyClicks(window.Text2(), "9");
  EXPECT_EQ(boxes.shown.size(), 2U);
  ASSERT_TRUE(QDir().rmdir(settings.File()));
}

TEST_F(ProgramTest, TheNumberFieldsSelectTheirWholeTextOnFocusByTabOrClick) {
  MainWindow& window = Start().Window();
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  EXPECT_EQ(window.Text2()->selectedText(), "100000");  // the first focus, at start

  QTest::keyClick(window.Text2(), Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), window.Text1());
  EXPECT_EQ(window.Text1()->selectedText(), "100");

  // A click into the field selects everything, and the release does not undo it.
  QTest::mouseClick(window.Text2(), Qt::LeftButton, {}, QPoint(20, 10));
  EXPECT_EQ(QApplication::focusWidget(), window.Text2());
  EXPECT_EQ(window.Text2()->selectedText(), "100000");
  // A second click in the focused field places the cursor as usual.
  QTest::mouseClick(window.Text2(), Qt::LeftButton, {}, QPoint(20, 10));
  EXPECT_EQ(window.Text2()->selectedText(), "");

  // The folder field has no such rule.
  window.Text3()->setCursorPosition(0);
  QTest::mouseClick(window.Text3(), Qt::LeftButton, {}, QPoint(5, 10));
  EXPECT_EQ(QApplication::focusWidget(), window.Text3());
  EXPECT_EQ(window.Text3()->selectedText(), "");
}

TEST_F(ProgramTest, ChoosingExcelFileChecksTheSpreadsheetApplication) {
  for (bool present : {false, true}) {
    spreadsheet.present = present;
    spreadsheet.checks = 0;
    boxes.shown.clear();
    MainWindow& window = Start().Window();
    window.show();
    QTest::mouseClick(window.Option6(), Qt::LeftButton);
    EXPECT_EQ(spreadsheet.checks, 1);
    if (present) {
      EXPECT_TRUE(boxes.shown.empty());
      EXPECT_EQ(window.SelectedOutput(), OutputKind::ExcelFile);
    } else {
      ASSERT_EQ(boxes.shown.size(), 1U);
      EXPECT_EQ(boxes.shown[0].text, "Excel is not installed.");
      EXPECT_EQ(boxes.shown[0].caption, "Tallowby");
      EXPECT_EQ(boxes.shown[0].icon, MessageIcon::None);
      EXPECT_EQ(window.SelectedOutput(), OutputKind::TextFile);
      EXPECT_FALSE(window.Option6()->isChecked());
    }
  }
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
