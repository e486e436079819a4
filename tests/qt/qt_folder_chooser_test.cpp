// Qt's own folder dialog behind the folder button of the real window.
#include <gtest/gtest.h>

#include <QFileDialog>
#include <QTest>
#include <QTimer>

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
  QTest::mouseClick(shown.Button(Control::FolderButton), Qt::LeftButton);
  EXPECT_EQ(title, "Save To This Folder");
  EXPECT_EQ(shown.LineEdit(Field::Folder)->text().toStdString(),
            (target.path() + "/Chosen/").toStdString());
  EXPECT_EQ(settings.Stored("LastFolderDot").value_or("").toStdString(),
            (target.path() + "/Chosen").toStdString());

  QTimer::singleShot(50, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    opened_at << dialog->directory().absolutePath();
    dialog->close();
  });
  const QString before = shown.LineEdit(Field::Folder)->text();
  QTest::mouseClick(shown.Button(Control::FolderButton), Qt::LeftButton);  // cancelled
  QDir::setCurrent(working_folder);
  EXPECT_EQ(shown.LineEdit(Field::Folder)->text(), before);
  EXPECT_EQ(opened_at, QStringList(2, QDir::homePath()));
}

}  // namespace
}  // namespace tallowby
