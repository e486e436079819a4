// Tallowby: random whole numbers, saved to a text file or a new spreadsheet workbook.
#include <QApplication>
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
  tallowby::Program program(tallowby::ProgramServices{});
  program.Window().show();
  return QApplication::exec();
}
