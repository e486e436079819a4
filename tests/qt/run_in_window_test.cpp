// "Start Generating" in the real window: typed fields, a press, and the file it writes.
#include <gtest/gtest.h>

#include <QFile>
#include <QProgressBar>
#include <QTest>
#include <algorithm>

#include "core/numbers/random_source.h"
#include "program_fixture.h"

namespace tallowby {
namespace {

using testing::ProgramTest;

TEST_F(ProgramTest, TypedFieldsAndAPressWriteTheResultsFile) {
  RandomSource real(11);
  services.random = &real;
  MainWindow& window = Start().Window();
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

  QTemporaryDir output;
  window.LineEdit(Field::Count)->setFocus();
  QTest::keyClicks(window.LineEdit(Field::Count), "7");  // replaces the selected "100"
  window.LineEdit(Field::Highest)->setFocus();
  QTest::keyClicks(window.LineEdit(Field::Highest), "10");
  window.LineEdit(Field::Folder)->selectAll();
  QTest::keyClicks(window.LineEdit(Field::Folder), output.path());
  QTest::mouseClick(window.Option(Control::OddOption), Qt::LeftButton);  // Odd
  QTest::mouseClick(window.Button(Control::StartButton), Qt::LeftButton);

  QFile results(output.path() + "/results.txt");
  ASSERT_TRUE(results.open(QIODevice::ReadOnly));
  const QList<QByteArray> lines = results.readAll().split('\n');
  ASSERT_EQ(lines.size(), 8);  // seven lines and what follows the last line feed
  for (int i = 0; i < 7; ++i) {
    ASSERT_TRUE(lines[i].endsWith('\r'));
    const int n = lines[i].chopped(1).toInt();
    EXPECT_TRUE(n % 2 == 1 && n >= 1 && n <= 11) << n;
  }
  EXPECT_TRUE(lines[7].isEmpty());

  ASSERT_EQ(boxes.shown.size(), 1U);
  EXPECT_EQ(boxes.shown[0].text, "Done.\r\r" + output.path() + "/results.txt\r\n\r\nwas created.");
  EXPECT_EQ(boxes.shown[0].caption, "Tallowby");
  EXPECT_EQ(boxes.shown[0].icon, MessageIcon::None);
  EXPECT_EQ(window.MousePointer(), PointerSetting::Default);
  EXPECT_EQ(window.Bar()->value(), 0);
  EXPECT_EQ(window.Bar()->text(), "Progress Bar");
}

TEST_F(ProgramTest, MessagesOfTheRunReachTheUserThroughTheWindow) {
  MainWindow& window = Start().Window();
  window.LineEdit(Field::Count)->setText("abc");
  QTest::mouseClick(window.Button(Control::StartButton), Qt::LeftButton);
  window.LineEdit(Field::Count)->setText("5");
  window.LineEdit(Field::Folder)->setText("/no/such/folder/");
  QTest::mouseClick(window.Button(Control::StartButton), Qt::LeftButton);
  window.LineEdit(Field::Count)->setText("3e10");
  window.LineEdit(Field::Folder)->setText(desktop);
  QTest::mouseClick(window.Button(Control::StartButton), Qt::LeftButton);
  ASSERT_EQ(boxes.shown.size(), 3U);
  EXPECT_EQ(boxes.shown[0].text, "Must input a number.");
  EXPECT_EQ(boxes.shown[1].text, "Folder does not exist. Please select another folder.");
  EXPECT_EQ(boxes.shown[2].caption, "Application Error");
  EXPECT_TRUE(boxes.shown[2].text.startsWith(
      "Overflow\r\nin Orrindale2021/08/31.Form1.PushButton6_Click at line 116\r\r"));
}

TEST_F(ProgramTest, TheBarMovesDuringARunOfAFewSecondsAndIsBackAtZeroAfter) {
  RandomSource real(3);
  services.random = &real;
  MainWindow& window = Start().Window();
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  QTemporaryDir output;
  window.LineEdit(Field::Count)
      ->setText("2000000");  // prime numbers below two billion: about two seconds
  window.LineEdit(Field::Highest)->setText("2000000000");
  window.LineEdit(Field::Folder)->setText(output.path());
  window.Option(Control::PrimeOnlyOption)->setChecked(true);
  QList<int> values;
  QObject::connect(window.Bar(), &QProgressBar::valueChanged, [&](int value) { values << value; });
  QTest::mouseClick(window.Button(Control::StartButton), Qt::LeftButton);
  ASSERT_GE(values.size(), 5) << "the bar hardly moved";
  EXPECT_EQ(values.back(), 0);
  values.removeLast();
  EXPECT_TRUE(std::is_sorted(values.begin(), values.end()));
  EXPECT_GT(values.front(), 0);
  EXPECT_GT(values.back(), 50);
  EXPECT_EQ(window.Bar()->text(), "Progress Bar");
  ASSERT_EQ(boxes.shown.size(), 1U);
  EXPECT_TRUE(boxes.shown[0].text.startsWith("Done."));
}

}  // namespace
}  // namespace tallowby
