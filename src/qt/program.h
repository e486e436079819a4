// The whole Qt program: the main window, its behaviour and everything outside them, wired.
#pragma once

#include <QString>
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
#include "core/window/main_window_behaviour.h"
#include "qt/main_window.h"
#include "qt/qt_message_boxes.h"

namespace tallowby {

// What the program talks to outside itself. Left empty, each is the real one; tests put
// recording stand-ins where a real one would pop up a box, open a browser or start a dialog.
struct ProgramServices {
  QString program_folder;
  MessageBoxes* boxes = nullptr;
  FolderChooser* chooser = nullptr;
  SiteVisitor* site = nullptr;
  SpreadsheetLauncher* spreadsheet = nullptr;
  SkinEngine* skin = nullptr;
  UniformSource* random = nullptr;
  std::function<float()> clock;
  std::function<std::string()> desktop_folder;
};

class Program {
 public:
  // Creates the main window and runs its start-up; the caller shows it.
  explicit Program(ProgramServices services);
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  MainWindow& Window() { return *window_; }
  MainWindowBehaviour& Behaviour() { return *behaviour_; }

 private:
  std::unique_ptr<MainWindow> window_;
  std::unique_ptr<FolderChooser> own_chooser_;
  std::unique_ptr<SiteVisitor> own_site_;
  std::unique_ptr<SpreadsheetLauncher> own_spreadsheet_;
  std::unique_ptr<SkinEngine> own_skin_;
  std::unique_ptr<SettingsStore> settings_;
  std::unique_ptr<FileSystem> files_;
  std::unique_ptr<MainWindowBehaviour> behaviour_;
};

}  // namespace tallowby
