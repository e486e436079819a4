// Start-up: the window's load sequence, and the behaviour's own making.
#include "core/run/error_report_text.h"
#include "core/window/application_title.h"
#include "core/window/default_output_folder.h"
#include "core/window/handler_lines.h"
#include "core/window/main_window_behaviour.h"
#include "core/window/settings_keys.h"
#include "core/window/site_visit.h"
#include "core/window/skin.h"
#include "core/window/window_texts.h"

namespace tallowby {

MainWindowBehaviour::MainWindowBehaviour(WindowView& view, WindowServices services)
    : view_(view),
      services_(std::move(services)),
      application_title_(ApplicationTitleFor(kDisplayName)),
      pointer_(view),
      reporter_(view),
      host_(view, pointer_, reporter_, application_title_),
      run_(host_, services_.random, services_.files, services_.spreadsheet) {
  if (services_.clock) run_.SetClock(services_.clock);
}

void MainWindowBehaviour::RestoreField(Field field, const std::string& default_text) {
  view_.SetFieldText(field, services_.settings.Read(SettingOf(field).key, default_text));
}

void MainWindowBehaviour::Load() {
  namespace line = load_line;
  const std::string cursor_file = services_.program_folder + std::string(kHandCursorFile);
  const GuardedStep steps[] = {
      {line::kApplySkin,
       [&] {
         ApplySkin(view_, services_.files, services_.skin, services_.program_folder);
         return line::kLookForHandCursor;
       },
       line::kLookForHandCursor},
      // A failed look goes on to load the cursor, as if the file were there.
      {line::kLookForHandCursor,
       [&] {
         return services_.files.FileExists(cursor_file) ? line::kLoadHandCursor : line::kVisitSite;
       },
       line::kLoadHandCursor},
      {line::kLoadHandCursor,
       [&] {
         view_.LoadCustomPointer(cursor_file);
         return line::kVisitSite;
       },
       line::kVisitSite},
      {line::kVisitSite,
       [&] {
         VisitSiteAtRandom(services_.random, services_.clock(), services_.site);
         return line::kCaptionIconAndTitle;
       },
       line::kCaptionIconAndTitle},
      // The caption, the icon and the application title share line 126 but are three steps: a
      // failure in one is reported with 126, and the next of them still runs.
      {line::kCaptionIconAndTitle,
       [&] {
         view_.SetCaption(std::string(kDisplayName));
         return kNextStep;
       }},
      {line::kCaptionIconAndTitle,
       [&] {
         view_.SetProgramIcon();
         return kNextStep;
       }},
      {line::kCaptionIconAndTitle,
       [&] {
         application_title_ = ApplicationTitleFor(kDisplayName);
         return line::kRestoreCount;
       },
       line::kRestoreCount},
      {line::kRestoreCount,
       [&] {
         RestoreField(Field::Count, std::string(SettingOf(Field::Count).default_text));
         return line::kRestoreHighest;
       },
       line::kRestoreHighest},
      {line::kRestoreHighest,
       [&] {
         RestoreField(Field::Highest, std::string(SettingOf(Field::Highest).default_text));
         return line::kRestoreFolder;
       },
       line::kRestoreFolder},
      {line::kRestoreFolder,
       [&] {
         // Computed even when the setting exists; without a desktop this step fails as a whole.
         RestoreField(Field::Folder, DefaultOutputFolder(services_.desktop_folder()));
         return kEndOfHandler;
       },
       kEndOfHandler},
  };
  RunGuardedSteps(steps, kFormLoadIdentity, reporter_);
}

}  // namespace tallowby
