// The main window's behaviour, written once for every front end: start-up, storing each edited
// field, the presence check on "Excel File", the folder button, the pointer rules and the runs of
// "Start Generating". A front end makes the controls, implements WindowView and forwards its
// events here.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "core/numbers/random_source.h"
#include "core/ports/file_system.h"
#include "core/ports/folder_chooser.h"
#include "core/ports/settings_store.h"
#include "core/ports/site_visitor.h"
#include "core/ports/skin_engine.h"
#include "core/ports/spreadsheet.h"
#include "core/ports/window_view.h"
#include "core/run/generation_run.h"
#include "core/window/error_report_box.h"
#include "core/window/pointer_rules.h"
#include "core/window/run_host.h"

namespace tallowby {

// Everything outside the window that its behaviour talks to.
struct WindowServices {
  // The folder of the program file, without a trailing separator.
  std::string program_folder;
  SettingsStore& settings;
  FileSystem& files;
  SkinEngine& skin;
  SiteVisitor& site;
  FolderChooser& chooser;
  // Null when no spreadsheet backend could be loaded: "Excel File" then reports it missing.
  SpreadsheetLauncher* spreadsheet;
  UniformSource& random;
  std::function<float()> clock;  // seconds since midnight
  std::function<std::string()> desktop_folder;
};

class MainWindowBehaviour {
 public:
  MainWindowBehaviour(WindowView& view, WindowServices services);
  MainWindowBehaviour(const MainWindowBehaviour&) = delete;
  MainWindowBehaviour& operator=(const MainWindowBehaviour&) = delete;

  // Start-up, once, before the window is first shown: dresses the window (skin, hand cursor),
  // now and then opens the maker's site, sets the caption, the icon and the application title,
  // and restores the three fields. A failing step is reported with its line and the next runs.
  void Load();

  // Every change of a field's text, typed or set, is stored at once. A store that cannot be
  // written is told once, not at every keystroke; a later successful write re-arms the notice.
  void FieldEdited(Field field, const std::string& text);

  // An output option was selected. Choosing "Excel File" checks that the spreadsheet application
  // is there; without it: "Excel is not installed." and "Text File" is selected again.
  void OutputChosen(OutputKind output);

  // "...": the folder dialog. Cancel changes nothing; otherwise the chosen path is stored as
  // returned, and the folder field shows it with exactly one trailing separator.
  void FolderButtonPressed();

  // "Start Generating". A press that arrives while a run is in progress is ignored.
  void StartPressed() { run_.StartGenerating(); }

  // The window is closing and the program ends: a run in progress stops with nothing written.
  void WindowClosing() { run_.StopForClosedWindow(); }

  // The mouse moved over a push button, or over any other control of the window.
  void PointerOverButton() { pointer_.OverButton(); }
  void PointerOverControl() { pointer_.OverControl(); }
  PointerRules& Pointer() { return pointer_; }

  // The short form of the display name that captions every message box without one of its own.
  const std::string& ApplicationTitle() const { return application_title_; }

  GenerationRun& Run() { return run_; }

 private:
  void RestoreField(Field field, const std::string& default_text);

  WindowView& view_;
  WindowServices services_;
  std::string application_title_;
  bool told_about_failed_store_ = false;
  PointerRules pointer_;
  ErrorReportBox reporter_;
  RunHost host_;
  GenerationRun run_;
};

}  // namespace tallowby
