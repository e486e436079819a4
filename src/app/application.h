// The whole desktop program: the main window, its behaviour and its commands, wired together.
#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <string>

#include "app/appearance.h"
#include "app/message_boxes.h"
#include "app/site_visit.h"
#include "gen/generation_run.h"
#include "gen/random_source.h"
#include "output/spreadsheet.h"
#include "shell/folder_chooser.h"

namespace tallowby {

class Form1;
class FieldBehaviour;
class WindowGenerationHost;

// Everything the program talks to outside itself. Left empty, each is the real one; tests put
// recording stand-ins in its place.
struct DesktopServices {
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

class Application {
 public:
  // Creates the main window and runs its load sequence; the caller shows it.
  explicit Application(DesktopServices services);
  ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  Form1& Window() { return *window_; }
  GenerationRun& Run() { return *run_; }
  ErrorReporter& Reporter() { return *reporter_; }

 private:
  DesktopServices services_;
  std::unique_ptr<Form1> window_;
  std::unique_ptr<MessageBoxes> own_boxes_;
  std::unique_ptr<FolderChooser> own_chooser_;
  std::unique_ptr<SiteVisitor> own_site_;
  std::unique_ptr<SpreadsheetLauncher> own_spreadsheet_;
  std::unique_ptr<SkinEngine> own_skin_;
  std::unique_ptr<ErrorReporter> reporter_;
  std::unique_ptr<WindowGenerationHost> host_;
  std::unique_ptr<GenerationRun> run_;
};

// Opens the site in the user's browser without waiting.
class DesktopSiteVisitor final : public SiteVisitor {
 public:
  void Visit(const std::string& address) override;
};

// The spreadsheet backend for this platform, or one that reports the application missing.
std::unique_ptr<SpreadsheetLauncher> LoadSpreadsheetLauncher(const QString& program_folder);

}  // namespace tallowby
