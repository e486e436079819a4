// Tallowby: random whole numbers, saved to a text file or a new spreadsheet workbook.
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "qt/program.h"
#ifndef _WIN32
#include "qt/title_bar_platform.h"
#endif

int main(int argc, char* argv[]) {
  std::vector<char*> arguments(argv, argv + argc);
#ifndef _WIN32
  char platform_option[] = "-platform";
  char xcb[] = "xcb";
  if (tallowby::PreferXWayland(argc, argv)) {
    arguments.insert(arguments.begin() + 1, {platform_option, xcb});
  }
#endif
  int count = static_cast<int>(arguments.size());
  arguments.push_back(nullptr);
  QApplication qt(count, arguments.data());
  // The window's application id on Wayland, and the entry the desktop finds its icon and name in,
  // whatever the program file is called.
  QGuiApplication::setDesktopFileName("tallowby");
  int status = 0;
  {
    tallowby::Program program(tallowby::ProgramServices{});
    program.Window().show();
    status = QApplication::exec();
  }
#ifndef _WIN32
  // Qt 6.4's Wayland plugin can deadlock while it tears its connection down: the main thread
  // waits for the event thread, which waits in wl_display_read_events for the main thread. The
  // window is gone and everything of the program's own is closed and stored by now, so the
  // process ends here rather than hang on as a program no window belongs to.
  if (QGuiApplication::platformName().startsWith("wayland")) {
    std::fflush(nullptr);
    std::_Exit(status);
  }
#endif
  return status;
}
