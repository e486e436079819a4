// Tallowby: random whole numbers, saved to a text file or a new spreadsheet workbook.
#include <QApplication>

#include "qt/program.h"

int main(int argc, char* argv[]) {
  QApplication qt(argc, argv);
  // The window's application id on Wayland, and the entry the desktop finds its icon and name in,
  // whatever the program file is called.
  QGuiApplication::setDesktopFileName("tallowby");
  tallowby::Program program(tallowby::ProgramServices{});
  program.Window().show();
  return QApplication::exec();
}
