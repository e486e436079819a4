#include "app/application.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QUrl>

#include "app/desktop_folder.h"
#include "app/startup.h"
#include "ui/field_behaviour.h"
#include "ui/folder_command.h"
#ifdef _WIN32
#include "app/site_visit_windows.h"
#include "shell/folder_chooser_windows.h"
#else
#include "shell/qt_folder_chooser.h"
#endif
#include "ui/form1.h"
#include "ui/window_generation_host.h"

namespace tallowby {

#ifdef _WIN32
// On Windows the shell's own folder dialog and explorer serve, as for the program's first users.
using PlatformFolderChooser = WindowsFolderChooser;
using PlatformSiteVisitor = WindowsSiteVisitor;
#else
using PlatformFolderChooser = QtFolderChooser;
using PlatformSiteVisitor = DesktopSiteVisitor;
#endif

template <class Interface, class Real, class... Arguments>
Interface* OrOwn(Interface* given, std::unique_ptr<Interface>& owned, Arguments&&... arguments) {
  if (given != nullptr) return given;
  owned = std::make_unique<Real>(std::forward<Arguments>(arguments)...);
  return owned.get();
}

Application::Application(DesktopServices services)
    : services_(std::move(services)), window_(std::make_unique<Form1>()) {
  Form1& window = *window_;
  if (services_.program_folder.isEmpty()) {
    services_.program_folder = QCoreApplication::applicationDirPath();
  }
  MessageBoxes& boxes = *OrOwn<MessageBoxes, QtMessageBoxes>(services_.boxes, own_boxes_, &window);
#ifdef _WIN32
  FolderChooser* chooser =
      OrOwn<FolderChooser, PlatformFolderChooser>(services_.chooser, own_chooser_);
#else
  FolderChooser* chooser =
      OrOwn<FolderChooser, PlatformFolderChooser>(services_.chooser, own_chooser_, &window);
#endif
  SiteVisitor& site = *OrOwn<SiteVisitor, PlatformSiteVisitor>(services_.site, own_site_);
  SkinEngine& skin = *OrOwn<SkinEngine, StyleSheetSkinEngine>(services_.skin, own_skin_);
  if (services_.spreadsheet == nullptr) {
    own_spreadsheet_ = LoadSpreadsheetLauncher(services_.program_folder);
    services_.spreadsheet = own_spreadsheet_.get();
  }
  UniformSource& random = services_.random ? *services_.random : ProcessRandomSource();
  if (!services_.clock) services_.clock = SecondsSinceMidnight;
  if (!services_.desktop_folder) services_.desktop_folder = DesktopFolder;

  reporter_ = std::make_unique<ErrorReportBox>(boxes);
  // The field behaviour is in place before the load sequence, whose restored texts count as edits.
  new FieldBehaviour(window, boxes, *services_.spreadsheet);

  StartupServices startup{services_.program_folder, skin,      random, services_.clock, site,
                          services_.desktop_folder, *reporter_};
  Form_Load(window, startup);

  host_ = std::make_unique<WindowGenerationHost>(window, boxes, *reporter_);
  run_ = std::make_unique<GenerationRun>(*host_, random, services_.spreadsheet);
  run_->SetClock(services_.clock);
  QObject::connect(window.PushButton6(), &QPushButton::clicked, &window,
                   [this] { run_->PushButton6_Click(); });
  QObject::connect(window.PushButton1(), &QPushButton::clicked, &window,
                   [this, chooser] { PushButton1_Click(*window_, *chooser, *reporter_); });
}

Application::~Application() = default;

void DesktopSiteVisitor::Visit(const std::string& address) {
  QDesktopServices::openUrl(QUrl(QString::fromStdString(address)));
}

}  // namespace tallowby
