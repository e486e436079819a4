// Tallowby: random whole numbers, saved to a text file or a new spreadsheet workbook.
#include <QApplication>

#include "app/application.h"
#include "ui/form1.h"

int main(int argc, char* argv[]) {
  QApplication qt(argc, argv);
  tallowby::Application application(tallowby::DesktopServices{});
  application.Window().show();
  return QApplication::exec();
}
