// The Qt main window on its own: layout, texts, fonts, colours, focus and keyboard.
#include "qt/main_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QSignalSpy>
#include <QTest>

namespace tallowby {
namespace {

struct Placement {
  const char* name;
  const char* caption;  // nullptr: no caption to check
  QRect window_pixels;  // within the client area, frames resolved
};

// The designed layout, converted by hand from twips (1/15 pixel at 96 dots per inch).
const Placement kLayout[] = {
    {"Frame2", "Output", {8, 8, 520, 47}},
    {"Option4", "Text File", {24, 28, 73, 16}},
    {"Option6", "Excel File", {128, 28, 81, 16}},
    {"Frame1", "Types", {8, 60, 520, 47}},
    {"Option1", "All numbers", {24, 80, 89, 16}},
    {"Option2", "Even", {128, 80, 49, 16}},
    {"Option3", "Odd", {192, 80, 49, 16}},
    {"Option7", "Prime only", {256, 80, 89, 16}},
    {"Frame4", "Highest possible number", {8, 112, 520, 55}},
    {"Text2", nullptr, {24, 132, 487, 23}},
    {"Frame3", "How many numbers to generate?", {8, 172, 520, 55}},
    {"Text1", nullptr, {24, 192, 487, 23}},
    {"Frame5", "Save Results To This Folder", {8, 232, 520, 54}},
    {"Text3", nullptr, {24, 252, 442, 23}},
    {"PushButton1", "...", {472, 252, 40, 23}},
    {"PushButton6", "Start Generating", {8, 294, 520, 27}},
    {"ProgressBar1", nullptr, {8, 329, 520, 27}},
};

QString Caption(QWidget* control) {
  if (auto* frame = qobject_cast<QGroupBox*>(control)) return frame->title();
  if (auto* button = qobject_cast<QAbstractButton*>(control)) return button->text();
  return {};
}

TEST(Form1, PlacesEveryControlAsDesigned) {
  MainWindow window;
  EXPECT_EQ(window.size(), QSize(536, 364));
  EXPECT_EQ(window.minimumSize(), window.maximumSize());  // not resizable
  for (const auto& placement : kLayout) {
    auto* control = window.findChild<QWidget*>(placement.name);
    ASSERT_NE(control, nullptr) << placement.name;
    const QRect actual(control->mapTo(&window, QPoint(0, 0)), control->size());
    EXPECT_EQ(actual, placement.window_pixels) << placement.name;
    if (placement.caption) {
      EXPECT_EQ(Caption(control), placement.caption) << placement.name;
    }
    EXPECT_FALSE(Caption(control).contains('&')) << "no access keys: " << placement.name;
  }
  // No two controls of the window overlap.
  for (const auto& a : kLayout) {
    for (const auto& b : kLayout) {
      if (&a == &b) continue;
      const bool nested =
          QString(a.name).startsWith("Frame") || QString(b.name).startsWith("Frame");
      if (!nested) {
        EXPECT_FALSE(a.window_pixels.intersects(b.window_pixels)) << a.name << " " << b.name;
      }
    }
  }
}

TEST(Form1, StartsWithItsDesignedTextsFontsAndColours) {
  MainWindow window;
  EXPECT_EQ(window.Text1()->text(), "Text1");
  EXPECT_EQ(window.Text2()->text(), "Text1");
  EXPECT_EQ(window.Text3()->text(), "");
  EXPECT_EQ(window.ProgressBar1()->value(), 0);
  EXPECT_EQ(window.ProgressBar1()->text(), "Progress Bar");
  EXPECT_EQ(window.palette().color(QPalette::Window), QColor(Qt::white));
  EXPECT_EQ(window.font().family(), "Arial");
  EXPECT_EQ(window.font().pointSizeF(), 9);
  EXPECT_TRUE(window.font().bold());
  EXPECT_EQ(window.PushButton6()->font().pointSizeF(), 11.25);
  EXPECT_TRUE(window.PushButton6()->font().bold());
  EXPECT_EQ(window.Text1()->font(), window.font());
  for (QLineEdit* field : {window.Text1(), window.Text2(), window.Text3()}) {
    EXPECT_EQ(field->maxLength(), 32767) << "Qt's largest: no limit of the program's own";
    EXPECT_EQ(field->echoMode(), QLineEdit::Normal);
    EXPECT_EQ(field->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
  }
  const Qt::WindowFlags flags = window.windowFlags();
  EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
  EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
}

TEST(Form1, KeepsExactlyOneOptionOfEachGroupSelected) {
  MainWindow window;
  window.show();
  EXPECT_EQ(window.SelectedKind(), NumberKind::AllNumbers);
  EXPECT_EQ(window.SelectedOutput(), OutputKind::TextFile);
  const std::vector<QRadioButton*> kinds = {window.Option1(), window.Option2(), window.Option3(),
                                            window.Option7()};
  const std::vector<QRadioButton*> outputs = {window.Option4(), window.Option6()};
  const auto selected = [](const std::vector<QRadioButton*>& group) {
    return std::count_if(group.begin(), group.end(), [](auto* o) { return o->isChecked(); });
  };
  for (QRadioButton* option : {window.Option3(), window.Option6(), window.Option7(),
                               window.Option4(), window.Option2(), window.Option1()}) {
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
  QStringList visited;
  for (int i = 0; i < 8; ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    visited << FocusedName();
  }
  // An option group is one stop, at its selected option; frames and the bar take no focus.
  EXPECT_EQ(visited, (QStringList{"Text1", "PushButton6", "Option4", "Option1", "Text3",
                                  "PushButton1", "Text2", "Text1"}));
}

TEST(Form1, EnterAndEscapeInAFieldPressNoButton) {
  MainWindow window;
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  QSignalSpy start(window.PushButton6(), &QPushButton::clicked);
  QSignalSpy folder(window.PushButton1(), &QPushButton::clicked);
  for (QLineEdit* field : {window.Text1(), window.Text2(), window.Text3()}) {
    field->setFocus();
    QTest::keyClick(field, Qt::Key_Return);
    QTest::keyClick(field, Qt::Key_Enter);
    QTest::keyClick(field, Qt::Key_Escape);
  }
  EXPECT_EQ(start.count(), 0);
  EXPECT_EQ(folder.count(), 0);
  EXPECT_TRUE(window.isVisible());
  EXPECT_FALSE(window.PushButton6()->isDefault());
  EXPECT_FALSE(window.PushButton6()->autoDefault());
}

TEST(Form1, EnterOrSpaceOnAFocusedButtonPressesIt) {
  MainWindow window;
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  for (QPushButton* button : {window.PushButton6(), window.PushButton1()}) {
    QSignalSpy pressed(button, &QPushButton::clicked);
    button->setFocus();
    QTest::keyClick(button, Qt::Key_Return);
    QTest::keyClick(button, Qt::Key_Enter, Qt::KeypadModifier);
    QTest::keyClick(button, Qt::Key_Space);
    EXPECT_EQ(pressed.count(), 3) << button->objectName().toStdString();
  }
}

}  // namespace
}  // namespace tallowby
