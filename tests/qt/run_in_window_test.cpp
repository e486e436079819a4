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
  window.Text1()->setFocus();
  QTest::keyClicks(window.Text1(), "7");  // replaces the selected "100"
  window.Text2()->setFocus();
  QTest::keyClicks(window.Text2(), "10");
  window.Text3()->selectAll();
  QTest::keyClicks(window.Text3(), output.path());
  QTest::mouseClick(window.Option3(), Qt::LeftButton);  // Odd
  QTest::mouseClick(window.PushButton6(), Qt::LeftButton);

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
  EXPECT_EQ(window.ProgressBar1()->value(), 0);
  EXPECT_EQ(window.ProgressBar1()->text(), "Progress Bar");
}

TEST_F(ProgramTest, MessagesOfTheRunReachTheUserThroughTheWindow) {
  MainWindow& window = Start().Window();
  window.Text1()->setText("abc");
  QTest::mouseClick(window.PushButton6(), Qt::LeftButton);
  window.Text1()->setText("5");
  window.Text3()->setText("/no/such/folder/");
  QTest::mouseClick(window.PushButton6(), Qt::LeftButton);
  window.Text1()->setText("3e10");
  window.Text3()->setText(desktop);
  QTest::mouseClick(window.PushButton6(), Qt::LeftButton);
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
  window.Text1()->setText("2000000");  // prime numbers below two billion: about two seconds
  window.Text2()->setText("2000000000");
  window.Text3()->setText(output.path());
  window.Option7()->setChecked(true);
  QList<int> values;
  QObject::connect(window.ProgressBar1(), &QProgressBar::valueChanged,
                   [&](int value) { values << value; });
  QTest::mouseClick(window.PushButton6(), Qt::LeftButton);
  ASSERT_GE(values.size(), 5) << "the bar hardly moved";
  EXPECT_EQ(values.back(), 0);
  values.removeLast();
  EXPECT_TRUE(std::is_sorted(values.begin(), values.end()));
  EXPECT_GT(values.front(), 0);
  EXPECT_GT(values.back(), 50);
  EXPECT_EQ(window.ProgressBar1()->text(), "Progress Bar");
  ASSERT_EQ(boxes.shown.size(), 1U);
  EXPECT_TRUE(boxes.shown[0].text.startsWith("Done."));
}

TEST(ForDisplay, ShowsTheProgramsLineBreaksAsLines) {
  EXPECT_EQ(ForDisplay("Done.\r\r/a/results.txt\r\n\r\nwas created."),
            "Done.\n\n/a/results.txt\n\nwas created.");
}

}  // namespace
}  // namespace tallowby
