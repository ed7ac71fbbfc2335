// main() for widget tests: an offscreen QApplication in a throw-away home.
#include <QApplication>
#include <gtest/gtest.h>

#include "tests/support/ThrowAwayHome.h"

int main(int argc, char** argv) {
  QTemporaryDir home;
  useThrowAwayHome(home);
  QApplication app(argc, argv);
  QApplication::setOrganizationName("tovane");
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
