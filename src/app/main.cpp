#include <QApplication>

#include "about/ProgramIcon.h"
#include "app/Form1.h"
#include "platform/TerminationSignals.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setOrganizationName("tovane");
  QApplication::setApplicationName("deruzizazarurid");
  QApplication::setWindowIcon(about::programIcon());
  Form1 window;
  closeOnTerminationSignals(&window);
  window.show();
  return app.exec();
}
