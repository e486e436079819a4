// Legible in every colour scheme: the real window, its message boxes and its folder dialog,
// photographed in a light, a dark and a high-contrast palette, with and without the shipped
// skin, and every text measured against its own background.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QTest>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

#include "program_fixture.h"
#include "qt/qt_folder_chooser.h"
#include "support/text_contrast.h"

namespace tallowby {
namespace {

using testing::Area;
using testing::Screenshot;
using testing::TextContrast;

// WCAG AA for normal text.
constexpr double kLegible = 4.5;

// Palettes as the desktop's platform theme gives them.
QPalette Dark() {
  QPalette dark;
  const std::pair<QPalette::ColorRole, QColor> roles[] = {
      {QPalette::Window, QColor(0x35, 0x35, 0x35)},
      {QPalette::WindowText, Qt::white},
      {QPalette::Base, QColor(0x2a, 0x2a, 0x2a)},
      {QPalette::AlternateBase, QColor(0x42, 0x42, 0x42)},
      {QPalette::Text, Qt::white},
      {QPalette::Button, QColor(0x35, 0x35, 0x35)},
      {QPalette::ButtonText, Qt::white},
      {QPalette::Highlight, QColor(0x2a, 0x82, 0xda)},
      {QPalette::HighlightedText, Qt::white},
      {QPalette::Light, QColor(0x50, 0x50, 0x50)},
      {QPalette::Midlight, QColor(0x42, 0x42, 0x42)},
      {QPalette::Mid, QColor(0x5a, 0x5a, 0x5a)},
      {QPalette::Dark, QColor(0x23, 0x23, 0x23)},
      {QPalette::Shadow, QColor(0x14, 0x14, 0x14)},
  };
  for (const auto& [role, colour] : roles)
    dark.setColor(role, colour);
  return dark;
}

QPalette HighContrastBlack() {
  QPalette black;
  for (QPalette::ColorRole role : {QPalette::Window, QPalette::Base, QPalette::Button,
                                   QPalette::AlternateBase, QPalette::Dark, QPalette::Shadow}) {
    black.setColor(role, Qt::black);
  }
  for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText,
                                   QPalette::Light, QPalette::Mid, QPalette::Midlight}) {
    black.setColor(role, Qt::white);
  }
  black.setColor(QPalette::Highlight, QColor(0x1a, 0xeb, 0xff));
  black.setColor(QPalette::HighlightedText, Qt::black);
  return black;
}

struct Scheme {
  const char* name;
  std::function<QPalette()> palette;
};

const Scheme kSchemes[] = {
    {"light", [] { return QApplication::style()->standardPalette(); }},
    {"dark", Dark},
    {"high contrast", HighContrastBlack},
};

Screenshot Photograph(QWidget* widget) {
  const QImage image = widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
  Screenshot shot{image.width(), image.height(), {}};
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x)
      shot.pixels.push_back(image.pixel(x, y) & 0xFFFFFFU);
  }
  return shot;
}

// Where a control's text is drawn, within the photographed widget `top`.
Area TextArea(QWidget* control, QWidget* top) {
  QRect area;
  const QFontMetrics metrics(control->font());
  if (auto* frame = qobject_cast<QGroupBox*>(control)) {
    QStyleOptionGroupBox option;
    option.initFrom(frame);
    option.text = frame->title();
    option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
    option.textAlignment = frame->alignment();
    area = frame->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel,
                                          frame);
  } else if (auto* button = qobject_cast<QRadioButton*>(control)) {
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    area = button->style()->subElementRect(QStyle::SE_RadioButtonContents, &option, button);
    area.setWidth(std::min(area.width(), metrics.horizontalAdvance(button->text()) + 2));
  } else if (auto* label = qobject_cast<QLabel*>(control)) {
    area = label->contentsRect();
    area.setWidth(std::min(area.width(), metrics.horizontalAdvance(label->text()) + 4));
  } else if (auto* field = qobject_cast<QLineEdit*>(control)) {
    area = field->rect().adjusted(4, 4, -4, -4);
    area.setWidth(std::min(area.width(), metrics.horizontalAdvance(field->text()) + 4));
  } else {
    // Push buttons and the bar centre their text.
    const QString text = qobject_cast<QPushButton*>(control)
                             ? qobject_cast<QPushButton*>(control)->text()
                             : qobject_cast<QProgressBar*>(control)->text();
    const QSize size(metrics.horizontalAdvance(text) + 4, metrics.height());
    area = QRect(QPoint(0, 0), size);
    area.moveCenter(control->rect().center());
  }
  // Never beyond the control, whose surroundings are no background of its text.
  area = area.intersected(control->rect().adjusted(2, 2, -2, -2));
  const QPoint at = control->mapTo(top, area.topLeft());
  return {at.x(), at.y(), area.width(), area.height()};
}

class ColourSchemeTest : public testing::ProgramTest {
 protected:
  ~ColourSchemeTest() override { QApplication::setPalette(kSchemes[0].palette()); }

  MainWindow& Shown(const Scheme& scheme, bool skinned) {
    QApplication::setPalette(scheme.palette());
    services.program_folder = skinned ? TALLOWBY_TEST_PROGRAM_DIR : program_folder.path();
    desktop = "/home/user/Desktop";  // the same pictures at every run
    MainWindow& window = Start().Window();
    window.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    return window;
  }

  // Every text of the window, with what it measures.
  static void ExpectLegible(MainWindow& window, const std::string& what) {
    // A selection is drawn in the user's own selection colours, not the window's.
    for (const auto& [field, control] : kFieldControls)
      window.LineEdit(field)->deselect();
    const Screenshot shot = Photograph(&window);
    for (const ControlDescription& row : kForm) {
      QWidget* control = window.Widget(row.control);
      const double ratio = TextContrast(shot, TextArea(control, &window));
      EXPECT_GE(ratio, kLegible) << what << ": " << control->objectName().toStdString();
    }
  }

  // The dialog or box that the call shows, photographed and closed while it is open.
  static Screenshot WhileOpen(const std::function<void()>& show,
                              std::vector<std::pair<std::string, Area>>& areas) {
    Screenshot shot;
    QTimer::singleShot(100, [&] {
      QWidget* dialog = QApplication::activeModalWidget();
      ASSERT_NE(dialog, nullptr);
      shot = Photograph(dialog);
      for (auto* label : dialog->findChildren<QLabel*>()) {
        if (label->isVisible() && !label->text().isEmpty())
          areas.push_back({label->text().toStdString(), TextArea(label, dialog)});
      }
      for (auto* button : dialog->findChildren<QPushButton*>()) {
        if (button->isVisible())
          areas.push_back({button->text().toStdString(), TextArea(button, dialog)});
      }
      for (auto* field : dialog->findChildren<QLineEdit*>()) {
        if (field->isVisible() && !field->text().isEmpty())
          areas.push_back({"field " + field->text().toStdString(), TextArea(field, dialog)});
      }
      qobject_cast<QDialog*>(dialog)->reject();
    });
    show();
    return shot;
  }
};

TEST_F(ColourSchemeTest, EveryTextOfTheWindowIsLegibleInEveryScheme) {
  for (const Scheme& scheme : kSchemes) {
    for (bool skinned : {false, true}) {
      MainWindow& window = Shown(scheme, skinned);
      ExpectLegible(window, std::string(scheme.name) + (skinned ? ", skinned" : ""));
      window.grab().save(QString(TALLOWBY_TEST_OUTPUT_DIR "/form1-%1%2.png")
                             .arg(QString(scheme.name).replace(' ', '-'))
                             .arg(skinned ? "" : "-plain"));
    }
  }
}

TEST_F(ColourSchemeTest, AChangeOfSchemeIsFollowedWhileTheProgramRuns) {
  MainWindow& window = Shown(kSchemes[0], true);
  for (const Scheme& scheme : {kSchemes[1], kSchemes[2], kSchemes[0]}) {
    QApplication::setPalette(scheme.palette());
    QCoreApplication::processEvents();
    ExpectLegible(window, std::string("changed to ") + scheme.name);
  }
}

TEST_F(ColourSchemeTest, MessageBoxesAndTheFolderDialogAreLegibleInEveryScheme) {
  for (const Scheme& scheme : kSchemes) {
    MainWindow& window = Shown(scheme, true);
    QtMessageBoxes boxes(&window);
    QtFolderChooser chooser(&window);
    const std::pair<const char*, std::function<void()>> dialogs[] = {
        {"a message box",
         [&] { boxes.Show("Must input a number.", "Tallowby", MessageIcon::None); }},
        {"the folder dialog",
         [&] { chooser.ChooseFolder(window.NativeHandle(), "Save To This Folder", ""); }},
    };
    for (const auto& [what, show] : dialogs) {
      std::vector<std::pair<std::string, Area>> areas;
      const Screenshot shot = WhileOpen(show, areas);
      EXPECT_FALSE(areas.empty()) << what;
      for (const auto& [text, area] : areas) {
        EXPECT_GE(TextContrast(shot, area), kLegible)
            << scheme.name << ", " << what << ": " << text;
      }
    }
  }
}

}  // namespace
}  // namespace tallowby
