// The Qt skin engine and cursor file, and the skin and pointer rules as the real window shows them.
#include <gtest/gtest.h>

#include <QFile>
#include <QGroupBox>
#include <QRadioButton>
#include <QTest>

#include "program_fixture.h"
#include "qt/cursor_file.h"
#include "qt/style_sheet_skin.h"

namespace tallowby {
namespace {

using testing::ProgramTest;

class RecordingSkinEngine final : public SkinEngine {
 public:
  void LoadSkin(const std::string& path, const std::string& section) override {
    calls << "load " + QFileInfo(FromNative(path)).fileName() + " [" + FromNative(section) + "]";
  }
  std::int32_t Options() const override {
    const_cast<RecordingSkinEngine*>(this)->calls << "read options";
    return 0x40;
  }
  void SetOptions(std::int32_t options) override {
    calls << QString("options %1").arg(options, 0, 16);
  }
  void SetEnabled(bool enabled) override { calls << QString("enabled %1").arg(enabled); }
  void SetSkinDialogs(bool skin) override { calls << QString("dialogs %1").arg(skin); }
  void ApplyToWindow() override { calls << "apply"; }
  QStringList calls;
};

void WriteFile(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).path());
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write(bytes);
}

QColor Background(QWidget* control) {
  return control->palette().color(QPalette::Window);
}

TEST_F(ProgramTest, WithASkinTheWindowFramesAndOptionsTakeTheButtonFaceAndTheEngineItsCalls) {
  RecordingSkinEngine engine;
  services.skin = &engine;
  {
    MainWindow& window =
        Start().Window();  // no skin file: nothing changes, the engine is never called
    EXPECT_TRUE(engine.calls.isEmpty());
    EXPECT_EQ(Background(&window), QColor(Qt::white));
  }
  WriteFile(program_folder.path() + "/x/o.cjs", "QWidget {}");
  MainWindow& window = Start().Window();
  EXPECT_EQ(engine.calls, (QStringList{"load o.cjs []", "read options", "options 41", "enabled 1",
                                       "dialogs 1", "apply"}));
  const QColor face = ButtonFaceColour();
  EXPECT_EQ(Background(&window), face);
  for (QWidget* control :
       {static_cast<QWidget*>(window.Frame1()), static_cast<QWidget*>(window.Frame5()),
        static_cast<QWidget*>(window.Option1()), static_cast<QWidget*>(window.Option6())}) {
    EXPECT_EQ(Background(control), face) << control->objectName().toStdString();
  }
  // Fields and buttons keep their own white.
  EXPECT_EQ(window.Text1()->palette().color(QPalette::Base), QColor(Qt::white));
  EXPECT_EQ(window.PushButton6()->palette().color(QPalette::Button), QColor(Qt::white));
}

TEST_F(ProgramTest, AHiddenOrFolderSkinIsNoSkin) {
  RecordingSkinEngine engine;
  services.skin = &engine;
  QDir(program_folder.path()).mkpath("x/o.cjs");  // a folder of that name is not a skin file
  Start();
  EXPECT_TRUE(engine.calls.isEmpty());
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

TEST(LoadCursorFile, ReadsTheShippedHandWithItsHotSpot) {
  const QCursor hand = LoadCursorFile(TALLOWBY_TEST_PROGRAM_DIR "/HAND-M.CUR");
  EXPECT_EQ(hand.hotSpot(), QPoint(13, 4));
  EXPECT_EQ(hand.pixmap().size(), QSize(32, 32));
  const QImage image = hand.pixmap().toImage();
  EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);              // transparent corner
  EXPECT_EQ(image.pixel(13, 4) & 0xFFFFFF, 0U);         // black outline at the finger tip
  EXPECT_EQ(image.pixel(13, 8) & 0xFFFFFF, 0xFFFFFFU);  // white inside the finger

  QTemporaryDir folder;
  WriteFile(folder.path() + "/icon.cur", QByteArray("\0\0\1\0\1\0", 6) + QByteArray(40, 'x'));
  EXPECT_THROW(LoadCursorFile(folder.path() + "/icon.cur"), Failure);  // an icon, not a cursor
}

// Two positions inside the control, so the mouse really moves even if it was there already.
void MoveOver(QWidget* control) {
  QTest::mouseMove(control, control->rect().topLeft() + QPoint(2, 2));
  QTest::mouseMove(control, control->rect().center());
  QCoreApplication::processEvents();
}

TEST_F(ProgramTest, ThePointerShowsTheHandOverButtonsAndNeverReplacesBusy) {
  MainWindow& window = Start().Window();
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  const std::pair<QWidget*, PointerSetting> moves[] = {
      {window.PushButton6(), PointerSetting::Custom},
      {window.Frame2(), PointerSetting::Default},
      {window.PushButton1(), PointerSetting::Custom},
      {window.Text3(), PointerSetting::Custom},  // no rule of its own
      {window.Text1(), PointerSetting::Default},
      {window.PushButton1(), PointerSetting::Custom},
      {window.ProgressBar1(), PointerSetting::Custom},  // no rule either
      {window.Option7(), PointerSetting::Default},
  };
  for (const auto& [control, expected] : moves) {
    MoveOver(control);
    EXPECT_EQ(window.MousePointer(), expected) << control->objectName().toStdString();
  }
  // Without a hand cursor, the custom pointer is the ordinary arrow.
  MoveOver(window.PushButton6());
  EXPECT_EQ(window.cursor().shape(), Qt::ArrowCursor);

  application->Behaviour().Pointer().Set(PointerSetting::Busy);
  for (QWidget* control : window.FieldPointerControls() + window.ButtonPointerControls()) {
    if (control == &window) continue;
    MoveOver(control);
    EXPECT_EQ(window.MousePointer(), PointerSetting::Busy) << control->objectName().toStdString();
  }
  EXPECT_EQ(window.cursor().shape(), Qt::WaitCursor);
  EXPECT_EQ(window.Text1()->cursor().shape(), Qt::WaitCursor);
  application->Behaviour().Pointer().Set(PointerSetting::Default);
  EXPECT_EQ(window.Text1()->cursor().shape(), Qt::IBeamCursor);
}

TEST_F(ProgramTest, TheHandCursorShowsOverTheButtonsOnceLoaded) {
  ASSERT_TRUE(
      QFile::copy(TALLOWBY_TEST_PROGRAM_DIR "/HAND-M.CUR", program_folder.path() + "/HAND-M.CUR"));
  MainWindow& window = Start().Window();
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  MoveOver(window.PushButton6());
  EXPECT_EQ(window.cursor().shape(), Qt::BitmapCursor);
  EXPECT_EQ(window.cursor().hotSpot(), QPoint(13, 4));
  MoveOver(window.Frame1());
  EXPECT_EQ(window.cursor().shape(), Qt::ArrowCursor);
}

}  // namespace
}  // namespace tallowby
