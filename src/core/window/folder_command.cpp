// The "..." button: pick the output folder in the system's folder dialog.
#include "core/run/error_report_text.h"
#include "core/run/results_path.h"
#include "core/window/handler_lines.h"
#include "core/window/main_window_behaviour.h"
#include "core/window/settings_keys.h"
#include "core/window/window_texts.h"

namespace tallowby {

void MainWindowBehaviour::FolderButtonPressed() {
  namespace line = folder_button_line;
  std::string path;
  const char separator = PathSeparator(kNativePathStyle);
  const GuardedStep steps[] = {
      {line::kChooseFolder,
       [&] {
         path = services_.chooser.ChooseFolder(view_.NativeHandle(),
                                               std::string(kFolderChooserTitle), "");
         return line::kCheckCancelled;
       },
       line::kCheckCancelled},
      {line::kCheckCancelled, [&] { return path.empty() ? kEndOfHandler : line::kStoreFolder; },
       line::kStoreFolder},
      // A failed store is reported, and the field still shows the folder (a root keeps its own
      // separator).
      {line::kStoreFolder,
       [&] {
         services_.settings.Write(kLastFolderKey, path);
         return kNextStep;
       }},
      {line::kStoreFolder,
       [&] { return path.back() == separator ? line::kShowAsChosen : line::kShowWithSeparator; },
       line::kShowWithSeparator},
      {line::kShowWithSeparator,
       [&] {
         view_.SetFieldText(Field::Folder, path + separator);
         return kEndOfHandler;
       },
       kEndOfHandler},
      {line::kShowAsChosen,
       [&] {
         view_.SetFieldText(Field::Folder, path);
         return kEndOfHandler;
       },
       kEndOfHandler},
  };
  RunGuardedSteps(steps, kPushButton1ClickIdentity, reporter_);
}

}  // namespace tallowby
