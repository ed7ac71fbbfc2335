// main() for widget tests: an offscreen QApplication whose settings and documents live
// in a throw-away home, so no test touches the user's files.
#include <QApplication>
#include <QTemporaryDir>
#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
  QTemporaryDir home;
  setenv("HOME", home.path().toLocal8Bit().constData(), 1);
  setenv("XDG_CONFIG_HOME", (home.path() + "/.config").toLocal8Bit().constData(), 1);
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  QApplication::setOrganizationName("tovane");
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
