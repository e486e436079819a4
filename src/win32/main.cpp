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
#include "platform/windows/wide_text.h"
#include "win32/visual_style_skin.h"
#include "win32/window.h"

namespace {

// The folder of the program file, without a trailing backslash. Cut on characters: in a
// program name of a double-byte code page the last 0x5C byte may lie inside a character.
std::string ProgramFolder() {
  std::wstring path(MAX_PATH, L'\0');
  DWORD length = 0;
  while ((length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()))) ==
             path.size() &&
         path.size() < 32768) {
    path.resize(path.size() * 2);
  }
  path.resize(length);
  const std::size_t backslash = path.find_last_of(L'\\');
  return backslash == std::wstring::npos ? std::string(".")
                                         : tallowby::Narrow(path.substr(0, backslash));
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
