#include <QApplication>

#include "app/Form1.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setOrganizationName("tovane");
  QApplication::setApplicationName("deruzizazarurid");
  Form1 window;
  window.show();
  return app.exec();
}
