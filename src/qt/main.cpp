// Tallowby: random whole numbers, saved to a text file or a new spreadsheet workbook.
#include <QApplication>

#include "qt/program.h"

int main(int argc, char* argv[]) {
  QApplication qt(argc, argv);
  tallowby::Program program(tallowby::ProgramServices{});
  program.Window().show();
  return QApplication::exec();
}
