#include "app/startup.h"

#include <QFile>
#include <QIcon>

#include "app/application_title.h"
#include "app/desktop_folder.h"
#include "app/error_report_text.h"
#include "app/message_boxes.h"
#include "app/settings_store.h"
#include "output/file_system.h"
#include "ui/form1.h"

namespace tallowby {

std::string ToNative(const QString& text) {
  return text.toLocal8Bit().toStdString();
}
QString FromNative(const std::string& text) {
  return QString::fromLocal8Bit(text);
}

QIcon ProgramIcon() {
  QIcon icon;
  for (int size : {32, 48, 128, 256}) {
    icon.addFile(QString(":/icons/tallowby-%1.png").arg(size), QSize(size, size));
  }
  return icon;
}

void SetApplicationTitle() {
  SetApplicationTitleText(QString::fromStdString(ApplicationTitleFor(kDisplayName)));
}

void Form_Load(Form1& window, StartupServices& services) {
  const QString cursor_file = services.program_folder + kHandCursorFile;
  const QString application = kSettingsApplication;
  const QString section = kSettingsSection;
  const auto restore = [&](QLineEdit* field, const char* key, const QString& default_value) {
    field->setText(ReadSetting(application, section, key, default_value));
  };

  const GuardedStep steps[] = {
      {100,
       [&] {
         ApplySkin(window, services.program_folder, services.skin);
         return 104;
       },
       104},
      // A failed test goes on to load the cursor, as if the file were there.
      {104, [&] { return FileExists(ToNative(cursor_file)) ? 106 : 108; }, 106},
      {106,
       [&] {
         window.SetCustomPointer(LoadCursorFile(cursor_file));
         return 108;
       },
       108},
      {108,
       [&] {
         VisitSiteAtRandom(services.random, services.clock(), services.site);
         return 126;
       },
       126},
      {126,
       [&] {
         window.setWindowTitle(QString::fromUtf8(kDisplayName.data(), kDisplayName.size()));
         return kNextStep;
       }},
      {126,
       [&] {
         window.setWindowIcon(ProgramIcon());
         return kNextStep;
       }},
      {126,
       [&] {
         SetApplicationTitle();
         return 128;
       },
       128},
      {128,
       [&] {
         restore(window.Text1(), "Text1", "100");
         return 130;
       },
       130},
      {130,
       [&] {
         restore(window.Text2(), "Text2", "100000");
         return 132;
       },
       132},
      {132,
       [&] {
         // Computed even when the setting exists; without a desktop this step fails as a whole.
         const QString default_folder = FromNative(DefaultOutputFolder(services.desktop_folder()));
         restore(window.Text3(), "Text3", default_folder);
         return kEndOfHandler;
       },
       kEndOfHandler},
  };
  RunGuardedSteps(steps, kFormLoadIdentity, services.reporter);
}

}  // namespace tallowby
