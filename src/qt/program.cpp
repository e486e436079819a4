#include "qt/program.h"

#include <QCoreApplication>

#include "qt/native_text.h"
#include "qt/qt_settings_store.h"
#include "qt/style_sheet_skin.h"
#ifdef _WIN32
#include "platform/windows/desktop_folder.h"
#include "platform/windows/excel_spreadsheet.h"
#include "platform/windows/explorer_site_visitor.h"
#include "platform/windows/native_file_system.h"
#include "platform/windows/shell_folder_chooser.h"
#else
#include "platform/posix/browser_site_visitor.h"
#include "platform/posix/desktop_folder.h"
#include "platform/posix/native_file_system.h"
#include "platform/posix/spreadsheet_plugin.h"
#include "qt/qt_folder_chooser.h"
#endif

namespace tallowby {

namespace {

#ifdef _WIN32
// On Windows the shell's own folder dialog and explorer serve, as for the program's first users,
// and Excel over COM is built in.
std::unique_ptr<FolderChooser> RealFolderChooser(QWidget*) {
  return std::make_unique<ShellFolderChooser>();
}
std::unique_ptr<SiteVisitor> RealSiteVisitor() {
  return std::make_unique<ExplorerSiteVisitor>();
}
std::unique_ptr<SpreadsheetLauncher> RealSpreadsheet(const QString&) {
  return std::make_unique<ExcelLauncher>();
}
#else
std::unique_ptr<FolderChooser> RealFolderChooser(QWidget* window) {
  return std::make_unique<QtFolderChooser>(window);
}
std::unique_ptr<SiteVisitor> RealSiteVisitor() {
  return std::make_unique<BrowserSiteVisitor>();
}
// LibreOffice Calc comes as a plugin, so the program runs where LibreOffice is missing.
std::unique_ptr<SpreadsheetLauncher> RealSpreadsheet(const QString& program_folder) {
  return LoadSpreadsheetPlugin(ToNative(program_folder));
}
#endif

template <class Interface>
Interface& OrOwn(Interface* given, std::unique_ptr<Interface>& owned,
                 const std::function<std::unique_ptr<Interface>()>& make) {
  if (given != nullptr) return *given;
  owned = make();
  return *owned;
}

}  // namespace

Program::Program(ProgramServices services) : window_(std::make_unique<MainWindow>(services.boxes)) {
  if (services.program_folder.isEmpty()) {
    services.program_folder = QCoreApplication::applicationDirPath();
  }
  MainWindow& window = *window_;
  settings_ = std::make_unique<QtSettingsStore>();
  files_ = std::make_unique<NativeFileSystem>();
  SpreadsheetLauncher& spreadsheet =
      OrOwn<SpreadsheetLauncher>(services.spreadsheet, own_spreadsheet_,
                                 [&] { return RealSpreadsheet(services.program_folder); });
  WindowServices window_services{
      .program_folder = ToNative(services.program_folder),
      .settings = *settings_,
      .files = *files_,
      .skin = OrOwn<SkinEngine>(services.skin, own_skin_,
                                [&] { return std::make_unique<StyleSheetSkinEngine>(&window); }),
      .site = OrOwn<SiteVisitor>(services.site, own_site_, [] { return RealSiteVisitor(); }),
      .chooser = OrOwn<FolderChooser>(services.chooser, own_chooser_,
                                      [&] { return RealFolderChooser(&window); }),
      .spreadsheet = &spreadsheet,
      .random = services.random != nullptr ? *services.random : ProcessRandomSource(),
      .clock = services.clock ? services.clock : SecondsSinceMidnight,
      .desktop_folder = services.desktop_folder ? services.desktop_folder : DesktopFolder,
  };
  behaviour_ = std::make_unique<MainWindowBehaviour>(window, std::move(window_services));
  // Attached before start-up, whose restored texts count as edits and are stored.
  window.Attach(*behaviour_);
  // Closing the main window ends the program, whatever else is open, nested loops included.
  QObject::connect(&window, &MainWindow::Closed, qApp, [] { QCoreApplication::exit(0); });
  behaviour_->Load();
}

Program::~Program() = default;

}  // namespace tallowby
