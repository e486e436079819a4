#include "ui/folder_command.h"

#include "app/error_report_text.h"
#include "app/settings_store.h"
#include "app/startup.h"
#include "output/text_output.h"
#include "ui/form1.h"

namespace tallowby {

void PushButton1_Click(Form1& window, FolderChooser& chooser, ErrorReporter& reporter) {
  std::string path;
  const char separator = PathSeparator(kNativePathStyle);
  const GuardedStep steps[] = {
      {100,
       [&] {
         path = chooser.ChooseFolder(static_cast<std::uintptr_t>(window.winId()),
                                     kFolderChooserTitle, "");
         return 102;
       },
       102},
      {102, [&] { return path.empty() ? kEndOfHandler : 104; }, 104},
      // A failed store is reported, and the field still shows the folder.
      {104,
       [&] {
         WriteSetting(kSettingsApplication, kSettingsSection, "LastFolderDot", FromNative(path));
         return kNextStep;
       }},
      {104, [&] { return path.back() == separator ? 108 : 106; }, 106},
      {106,
       [&] {
         window.Text3()->setText(FromNative(path + separator));
         return kEndOfHandler;
       },
       kEndOfHandler},
      {108,
       [&] {
         window.Text3()->setText(FromNative(path));
         return kEndOfHandler;
       },
       kEndOfHandler},
  };
  RunGuardedSteps(steps, kPushButton1ClickIdentity, reporter);
}

}  // namespace tallowby
