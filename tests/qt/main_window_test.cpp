// The Qt main window, the view: layout, texts, fonts, colours, focus, keyboard and pointer.
#include "qt/main_window.h"

#include <gtest/gtest.h>

#include <limits>

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include "program_fixture.h"
#include "support/designed_layout.h"

namespace tallowby {
namespace {

using testing::ProgramTest;

QString Caption(QWidget* control) {
  if (auto* frame = qobject_cast<QGroupBox*>(control)) return frame->title();
  if (auto* button = qobject_cast<QAbstractButton*>(control)) return button->text();
  return {};
}

TEST(Form1, PlacesEveryControlAsDesigned) {
  MainWindow window;
  using testing::kDesignedLayout;
  EXPECT_EQ(window.size(), QSize(testing::kDesignedClientWidth, testing::kDesignedClientHeight));
  EXPECT_EQ(window.minimumSize(), window.maximumSize());  // not resizable
  const auto pixels = [](const testing::DesignedControl& c) {
    return QRect(c.left, c.top, c.width, c.height);
  };
  for (const auto& designed : kDesignedLayout) {
    auto* control = window.findChild<QWidget*>(designed.name);
    ASSERT_NE(control, nullptr) << designed.name;
    const QRect actual(control->mapTo(&window, QPoint(0, 0)), control->size());
    EXPECT_EQ(actual, pixels(designed)) << designed.name;
    if (designed.caption) {
      EXPECT_EQ(Caption(control), designed.caption) << designed.name;
    }
    EXPECT_FALSE(Caption(control).contains('&')) << "no access keys: " << designed.name;
  }
  // No two controls of the window overlap.
  for (const auto& a : kDesignedLayout) {
    for (const auto& b : kDesignedLayout) {
      if (&a == &b) continue;
      const bool nested =
          QString(a.name).startsWith("Frame") || QString(b.name).startsWith("Frame");
      if (!nested) {
        EXPECT_FALSE(pixels(a).intersects(pixels(b))) << a.name << " " << b.name;
      }
    }
  }
}

TEST(Form1, StartsWithItsDesignedTextsFontsAndColours) {
  MainWindow window;
  EXPECT_EQ(window.LineEdit(Field::Count)->text(), "Text1");
  EXPECT_EQ(window.LineEdit(Field::Highest)->text(), "Text1");
  EXPECT_EQ(window.LineEdit(Field::Folder)->text(), "");
  EXPECT_EQ(window.Bar()->value(), 0);
  EXPECT_EQ(window.Bar()->text(), "Progress Bar");
  EXPECT_EQ(window.palette().color(QPalette::Window), QColor(Qt::white));
  EXPECT_EQ(window.font().family(), "Arial");
  EXPECT_EQ(window.font().pointSizeF(), 9);
  EXPECT_TRUE(window.font().bold());
  EXPECT_EQ(window.Button(Control::StartButton)->font().pointSizeF(), 11.25);
  EXPECT_TRUE(window.Button(Control::StartButton)->font().bold());
  EXPECT_EQ(window.LineEdit(Field::Count)->font(), window.font());
  for (QLineEdit* field : {window.LineEdit(Field::Count), window.LineEdit(Field::Highest),
                           window.LineEdit(Field::Folder)}) {
    EXPECT_EQ(field->maxLength(), std::numeric_limits<int>::max()) << "no length limit";
    EXPECT_EQ(field->echoMode(), QLineEdit::Normal);
    EXPECT_EQ(field->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
  }
  const Qt::WindowFlags flags = window.windowFlags();
  EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
  EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
}

// What a screen reader says: each field by its frame's caption, every other control by its own;
// "..." tells what it is for, and the bar its value.
TEST(Form1, NamesEveryControlForScreenReaders) {
  MainWindow window;
  const std::pair<const char*, const char*> fields[] = {
      {"Text2", "Highest possible number"},
      {"Text1", "How many numbers to generate?"},
      {"Text3", "Save Results To This Folder"},
  };
  const auto accessible = [&](const char* name) {
    return QAccessible::queryAccessibleInterface(window.findChild<QWidget*>(name));
  };
  for (const auto& designed : testing::kDesignedLayout) {
    const char* expected = designed.caption;
    for (const auto& [field, frame] : fields) {
      if (std::string(field) == designed.name) expected = frame;
    }
    if (expected == nullptr) expected = "Progress Bar";
    EXPECT_EQ(accessible(designed.name)->text(QAccessible::Name), expected) << designed.name;
  }
  EXPECT_EQ(accessible("PushButton1")->text(QAccessible::Description),
            "Chooses the folder the results are saved to");
  window.SetProgressValue(40);
  EXPECT_EQ(accessible("ProgressBar1")->valueInterface()->currentValue().toInt(), 40);
}

TEST(Form1, KeepsExactlyOneOptionOfEachGroupSelected) {
  MainWindow window;
  window.show();
  EXPECT_EQ(window.SelectedKind(), NumberKind::AllNumbers);
  EXPECT_EQ(window.SelectedOutput(), OutputKind::TextFile);
  const std::vector<QRadioButton*> kinds = {
      window.Option(Control::AllNumbersOption), window.Option(Control::EvenOption),
      window.Option(Control::OddOption), window.Option(Control::PrimeOnlyOption)};
  const std::vector<QRadioButton*> outputs = {window.Option(Control::TextFileOption),
                                              window.Option(Control::ExcelFileOption)};
  const auto selected = [](const std::vector<QRadioButton*>& group) {
    return std::count_if(group.begin(), group.end(), [](auto* o) { return o->isChecked(); });
  };
  for (QRadioButton* option :
       {window.Option(Control::OddOption), window.Option(Control::ExcelFileOption),
        window.Option(Control::PrimeOnlyOption), window.Option(Control::TextFileOption),
        window.Option(Control::EvenOption), window.Option(Control::AllNumbersOption)}) {
    QTest::mouseClick(option, Qt::LeftButton);
    EXPECT_TRUE(option->isChecked()) << option->objectName().toStdString();
    EXPECT_EQ(selected(kinds), 1);
    EXPECT_EQ(selected(outputs), 1);
  }
}

QString FocusedName() {
  QWidget* focused = QApplication::focusWidget();
  return focused ? focused->objectName() : QString("(none)");
}

TEST(Form1, StartsInTheHighestNumberAndTabsThroughTheDesignedOrder) {
  MainWindow window;
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  EXPECT_EQ(FocusedName(), "Text2");
  // An option group is one stop, at its selected option; frames and the bar take no focus.
  const std::size_t stops = std::size(testing::kDesignedTabStops);
  for (std::size_t i = 1; i <= stops + 1; ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(FocusedName(), testing::kDesignedTabStops[i % stops]) << i;
  }
}

TEST(Form1, EnterAndEscapeInAFieldPressNoButton) {
  MainWindow window;
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  QSignalSpy start(window.Button(Control::StartButton), &QPushButton::clicked);
  QSignalSpy folder(window.Button(Control::FolderButton), &QPushButton::clicked);
  for (QLineEdit* field : {window.LineEdit(Field::Count), window.LineEdit(Field::Highest),
                           window.LineEdit(Field::Folder)}) {
    field->setFocus();
    QTest::keyClick(field, Qt::Key_Return);
    QTest::keyClick(field, Qt::Key_Enter);
    QTest::keyClick(field, Qt::Key_Escape);
  }
  EXPECT_EQ(start.count(), 0);
  EXPECT_EQ(folder.count(), 0);
  EXPECT_TRUE(window.isVisible());
  EXPECT_FALSE(window.Button(Control::StartButton)->isDefault());
  EXPECT_FALSE(window.Button(Control::StartButton)->autoDefault());
}

TEST(Form1, EnterOrSpaceOnAFocusedButtonPressesIt) {
  MainWindow window;
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  for (QPushButton* button :
       {window.Button(Control::StartButton), window.Button(Control::FolderButton)}) {
    QSignalSpy pressed(button, &QPushButton::clicked);
    button->setFocus();
    QTest::keyClick(button, Qt::Key_Return);
    QTest::keyClick(button, Qt::Key_Enter, Qt::KeypadModifier);
    QTest::keyClick(button, Qt::Key_Space);
    EXPECT_EQ(pressed.count(), 3) << button->objectName().toStdString();
  }
}

TEST_F(ProgramTest, TheNumberFieldsSelectTheirWholeTextOnFocusByTabOrClick) {
  MainWindow& window = Start().Window();
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  EXPECT_EQ(window.LineEdit(Field::Highest)->selectedText(),
            "100000");  // the first focus, at start

  QTest::keyClick(window.LineEdit(Field::Highest), Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), window.LineEdit(Field::Count));
  EXPECT_EQ(window.LineEdit(Field::Count)->selectedText(), "100");

  // A click into the field selects everything, and the release does not undo it.
  QTest::mouseClick(window.LineEdit(Field::Highest), Qt::LeftButton, {}, QPoint(20, 10));
  EXPECT_EQ(QApplication::focusWidget(), window.LineEdit(Field::Highest));
  EXPECT_EQ(window.LineEdit(Field::Highest)->selectedText(), "100000");
  // A second click in the focused field places the cursor as usual.
  QTest::mouseClick(window.LineEdit(Field::Highest), Qt::LeftButton, {}, QPoint(20, 10));
  EXPECT_EQ(window.LineEdit(Field::Highest)->selectedText(), "");

  // The folder field has no such rule.
  window.LineEdit(Field::Folder)->setCursorPosition(0);
  QTest::mouseClick(window.LineEdit(Field::Folder), Qt::LeftButton, {}, QPoint(5, 10));
  EXPECT_EQ(QApplication::focusWidget(), window.LineEdit(Field::Folder));
  EXPECT_EQ(window.LineEdit(Field::Folder)->selectedText(), "");
}

TEST_F(ProgramTest, ChoosingExcelFileChecksTheSpreadsheetApplication) {
  for (bool present : {false, true}) {
    spreadsheet.present = present;
    spreadsheet.checks = 0;
    boxes.shown.clear();
    MainWindow& window = Start().Window();
    window.show();
    QTest::mouseClick(window.Option(Control::ExcelFileOption), Qt::LeftButton);
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
      EXPECT_FALSE(window.Option(Control::ExcelFileOption)->isChecked());
    }
  }
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
      {window.Button(Control::StartButton), PointerSetting::Custom},
      {window.Frame(Control::OutputFrame), PointerSetting::Default},
      {window.Button(Control::FolderButton), PointerSetting::Custom},
      {window.LineEdit(Field::Folder), PointerSetting::Custom},  // no rule of its own
      {window.LineEdit(Field::Count), PointerSetting::Default},
      {window.Button(Control::FolderButton), PointerSetting::Custom},
      {window.Bar(), PointerSetting::Custom},  // no rule either
      {window.Option(Control::PrimeOnlyOption), PointerSetting::Default},
  };
  for (const auto& [control, expected] : moves) {
    MoveOver(control);
    EXPECT_EQ(window.MousePointer(), expected) << control->objectName().toStdString();
  }
  // Without a hand cursor, the custom pointer is the ordinary arrow.
  MoveOver(window.Button(Control::StartButton));
  EXPECT_EQ(window.cursor().shape(), Qt::ArrowCursor);

  application->Behaviour().Pointer().Set(PointerSetting::Busy);
  for (const ControlDescription& row : kForm) {
    QWidget* control = window.Widget(row.control);
    MoveOver(control);
    EXPECT_EQ(window.MousePointer(), PointerSetting::Busy) << control->objectName().toStdString();
  }
  EXPECT_EQ(window.cursor().shape(), Qt::WaitCursor);
  EXPECT_EQ(window.LineEdit(Field::Count)->cursor().shape(), Qt::WaitCursor);
  application->Behaviour().Pointer().Set(PointerSetting::Default);
  EXPECT_EQ(window.LineEdit(Field::Count)->cursor().shape(), Qt::IBeamCursor);
}

TEST_F(ProgramTest, TheHandCursorShowsOverTheButtonsOnceLoaded) {
  ASSERT_TRUE(
      QFile::copy(TALLOWBY_TEST_PROGRAM_DIR "/HAND-M.CUR", program_folder.path() + "/HAND-M.CUR"));
  MainWindow& window = Start().Window();
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  MoveOver(window.Button(Control::StartButton));
  EXPECT_EQ(window.cursor().shape(), Qt::BitmapCursor);
  EXPECT_EQ(window.cursor().hotSpot(), QPoint(13, 4));
  MoveOver(window.Frame(Control::KindFrame));
  EXPECT_EQ(window.cursor().shape(), Qt::ArrowCursor);
}

}  // namespace
}  // namespace tallowby
