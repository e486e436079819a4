// The folder button through the real Qt window, with a scripted dialog and with Qt's own.
#include <gtest/gtest.h>

#include <QFileDialog>
#include <QTest>
#include <QTimer>

#include "core/run/error_report_text.h"
#include "program_fixture.h"
#include "qt/qt_folder_chooser.h"

namespace tallowby {
namespace {

using testing::ProgramTest;

struct Choice {
  const char* chosen;
  const char* field;        // what the folder field shows afterwards
  const char* last_folder;  // "LastFolderDot"; nullptr: not stored
};

TEST_F(ProgramTest, TheFolderButtonStoresTheChoiceAndShowsItWithOneSeparator) {
  const Choice cases[] = {
      {"", nullptr, nullptr},  // cancel: nothing changes
      {"/", "/", "/"},
      {"/home/user/Data", "/home/user/Data/", "/home/user/Data"},
      {"/tmp", "/tmp/", "/tmp"},
  };
  MainWindow& window = Start().Window();
  const QString before = window.Text3()->text();
  for (const auto& c : cases)
    chooser.answers.push_back(c.chosen);
  for (const auto& c : cases) {
    QTest::mouseClick(window.PushButton1(), Qt::LeftButton);
    if (c.field == nullptr) {
      EXPECT_EQ(window.Text3()->text(), before);
      EXPECT_FALSE(settings.Stored("LastFolderDot").has_value());
      EXPECT_EQ(settings.Stored("Text3"), before);
    } else {
      EXPECT_EQ(window.Text3()->text(), c.field) << c.chosen;
      EXPECT_EQ(settings.Stored("Text3"), c.field) << c.chosen;
      EXPECT_EQ(settings.Stored("LastFolderDot"), c.last_folder) << c.chosen;
    }
  }
  EXPECT_TRUE(boxes.shown.empty());
  // Every use opens at the dialog's own default place, whatever the field holds.
  EXPECT_EQ(chooser.initial_folders, std::vector<std::string>(4, ""));
  EXPECT_EQ(chooser.titles, std::vector<std::string>(4, "Save To This Folder"));
}

TEST_F(ProgramTest, AStoreThatCannotBeWrittenIsReportedWithLine104AndTheFieldIsStillSet) {
  MainWindow& window = Start().Window();
  ASSERT_TRUE(QFile::remove(settings.File()));
  ASSERT_TRUE(QDir().mkdir(settings.File()));
  chooser.answers = {"/srv/out"};
  QTest::mouseClick(window.PushButton1(), Qt::LeftButton);
  EXPECT_EQ(window.Text3()->text(), "/srv/out/");
  ASSERT_GE(boxes.shown.size(), 1U);
  EXPECT_EQ(boxes.shown[0].caption, "Application Error");
  EXPECT_EQ(boxes.shown[0].icon, MessageIcon::Warning);
  EXPECT_TRUE(boxes.shown[0].text.contains("PushButton1_Click at line 104\r\r"));
  ASSERT_TRUE(QDir().rmdir(settings.File()));
}

// The real dialog, driven as a user would: it opens, goes to a folder and is accepted.
TEST_F(ProgramTest, TheQtFolderDialogReturnsTheChosenFolder) {
  QTemporaryDir target;
  QDir(target.path()).mkdir("Chosen");
  MainWindow& window = Start().Window();
  window.show();
  QtFolderChooser real(&window);
  services.chooser = &real;
  MainWindow& shown = Start().Window();
  shown.show();
  // Wherever the program runs from, and whatever the dialog saw last, it opens at home.
  const QString working_folder = QDir::currentPath();
  QDir::setCurrent(target.path());
  QString title;
  QStringList opened_at;
  QTimer::singleShot(50, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    title = dialog->windowTitle();
    opened_at << dialog->directory().absolutePath();
    EXPECT_EQ(dialog->fileMode(), QFileDialog::Directory);
    dialog->setDirectory(target.path() + "/Chosen");
    QMetaObject::invokeMethod(dialog, "accept");
  });
  QTest::mouseClick(shown.PushButton1(), Qt::LeftButton);
  EXPECT_EQ(title, "Save To This Folder");
  EXPECT_EQ(shown.Text3()->text().toStdString(), (target.path() + "/Chosen/").toStdString());
  EXPECT_EQ(settings.Stored("LastFolderDot").value_or("").toStdString(),
            (target.path() + "/Chosen").toStdString());

  QTimer::singleShot(50, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    opened_at << dialog->directory().absolutePath();
    dialog->close();
  });
  const QString before = shown.Text3()->text();
  QTest::mouseClick(shown.PushButton1(), Qt::LeftButton);  // cancelled
  QDir::setCurrent(working_folder);
  EXPECT_EQ(shown.Text3()->text(), before);
  EXPECT_EQ(opened_at, QStringList(2, QDir::homePath()));
}

}  // namespace
}  // namespace tallowby
