// The skin as a Qt style sheet: the files it takes and refuses, and the colours it brings.
#include <gtest/gtest.h>

#include <QFile>
#include <QGroupBox>
#include <QRadioButton>
#include <QTest>

#include "program_fixture.h"
#include "qt/style_sheet_skin.h"

namespace tallowby {
namespace {

using testing::ProgramTest;
using testing::WriteFile;

QColor Background(QWidget* control) {
  return control->palette().color(QPalette::Window);
}

TEST_F(ProgramTest, WithASkinTheWindowFramesAndOptionsTakeTheButtonFace) {
  {
    MainWindow& window = Start().Window();  // no skin file: nothing changes
    EXPECT_EQ(Background(&window), QColor(Qt::white));
  }
  WriteFile(program_folder.path() + "/x/o.cjs", "QWidget {}");
  MainWindow& window = Start().Window();
  const QColor face = ButtonFaceColour();
  EXPECT_EQ(Background(&window), face);
  for (QWidget* control : {static_cast<QWidget*>(window.Frame(Control::KindFrame)),
                           static_cast<QWidget*>(window.Frame(Control::FolderFrame)),
                           static_cast<QWidget*>(window.Option(Control::AllNumbersOption)),
                           static_cast<QWidget*>(window.Option(Control::ExcelFileOption))}) {
    EXPECT_EQ(Background(control), face) << control->objectName().toStdString();
  }
  // Fields and buttons keep their own white.
  EXPECT_EQ(window.LineEdit(Field::Count)->palette().color(QPalette::Base), QColor(Qt::white));
  EXPECT_EQ(window.Button(Control::StartButton)->palette().color(QPalette::Button),
            QColor(Qt::white));
}

struct SkinFile {
  const char* name;
  QByteArray bytes;
  const char* failure;  // nullptr: loads
};

TEST(StyleSheetSkinEngine, LoadsAValidSheetAndRefusesDamagedOnes) {
  QTemporaryDir folder;
  const SkinFile cases[] = {
      {"good", "QPushButton { color: #123456; }", nullptr},
      {"shipped",
       [] {
         QFile shipped(TALLOWBY_TEST_SOURCE_DIR "/resources/skin/o.cjs");
         shipped.open(QIODevice::ReadOnly);
         return shipped.readAll();
       }(),
       nullptr},
      {"unclosed", "QPushButton { color: red; ",
       "The skin file is damaged: its style sheet is invalid"},
      {"binary", QByteArray("\x89PNG\r\n\x1a\n\0\0", 10),
       "The skin file is damaged: it is not a text file"},
      {"latin1", "QLabel { qproperty-text: \"caf\xE9\"; }",
       "The skin file is damaged: it is not a text file"},
  };
  for (const auto& c : cases) {
    const QString path = folder.path() + "/" + c.name;
    WriteFile(path, c.bytes);
    StyleSheetSkinEngine engine(nullptr);
    try {
      engine.LoadSkin(ToNative(path), {});
      EXPECT_EQ(c.failure, nullptr) << c.name;
      EXPECT_FALSE(engine.StyleSheet().isEmpty());
    } catch (const Failure& failure) {
      ASSERT_NE(c.failure, nullptr) << c.name << ": " << failure.Description();
      EXPECT_STREQ(failure.Description(), c.failure) << c.name;
    }
  }
  StyleSheetSkinEngine engine(nullptr);
  EXPECT_THROW(engine.LoadSkin(ToNative(folder.path() + "/missing"), {}), Failure);
}

TEST(StyleSheetSkinEngine, DrawsNothingUntilEnabled) {
  QTemporaryDir folder;
  WriteFile(folder.path() + "/s", "QWidget { color: red; }");
  QWidget window;
  StyleSheetSkinEngine engine(&window);
  engine.LoadSkin(ToNative(folder.path() + "/s"), {});
  engine.ApplyToWindow();
  EXPECT_TRUE(window.styleSheet().isEmpty());
  engine.SetEnabled(true);
  engine.ApplyToWindow();
  EXPECT_EQ(window.styleSheet(), "QWidget { color: red; }");
}

}  // namespace
}  // namespace tallowby
