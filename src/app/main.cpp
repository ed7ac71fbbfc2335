#include <QApplication>

#include "about/ProgramIcon.h"
#include "app/Form1.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setOrganizationName("tovane");
  QApplication::setApplicationName("deruzizazarurid");
  QApplication::setWindowIcon(about::programIcon());
  Form1 window;
  window.show();
  return app.exec();
}
