// Tallowby for Windows: random whole numbers, saved to a text file or a new Excel workbook.
#include <windows.h>

#include <commctrl.h>

#include <string>

#include "core/numbers/random_source.h"
#include "core/window/main_window_behaviour.h"
#include "platform/windows/desktop_folder.h"
#include "platform/windows/excel_spreadsheet.h"
#include "platform/windows/explorer_site_visitor.h"
#include "platform/windows/native_file_system.h"
#include "platform/windows/registry_settings_store.h"
#include "platform/windows/shell_folder_chooser.h"
#include "win32/visual_style_skin.h"
#include "win32/window.h"

namespace {

// The folder of the program file, without a trailing backslash.
std::string ProgramFolder() {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  const std::string file(path, length);
  const std::size_t backslash = file.find_last_of('\\');
  return backslash == std::string::npos ? std::string(".") : file.substr(0, backslash);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show_command) {
  using namespace tallowby;
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);

  win32::MainWindow window(instance);
  RegistrySettingsStore settings;
  NativeFileSystem files;
  win32::VisualStyleSkin skin(window);
  ExplorerSiteVisitor site;
  ShellFolderChooser chooser;
  ExcelLauncher excel;
  MainWindowBehaviour behaviour(window, WindowServices{
                                            .program_folder = ProgramFolder(),
                                            .settings = settings,
                                            .files = files,
                                            .skin = skin,
                                            .site = site,
                                            .chooser = chooser,
                                            .spreadsheet = &excel,
                                            .random = ProcessRandomSource(),
                                            .clock = SecondsSinceMidnight,
                                            .desktop_folder = DesktopFolder,
                                        });
  // Attached before start-up, whose restored texts count as edits and are stored.
  window.Attach(behaviour);
  behaviour.Load();
  window.Show(show_command);
  return window.RunMessageLoop();
}
