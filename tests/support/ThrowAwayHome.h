#pragma once
// Points HOME and the settings folder at a temporary folder and picks the offscreen
// platform unless one is set, so test and benchmark programs never touch the user's
// files or need a display.
#include <QTemporaryDir>
#include <cstdlib>

inline void useThrowAwayHome(const QTemporaryDir& home) {
  setenv("HOME", home.path().toLocal8Bit().constData(), 1);
  setenv("XDG_CONFIG_HOME", (home.path() + "/.config").toLocal8Bit().constData(), 1);
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
}
