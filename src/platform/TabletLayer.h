#pragma once
// The pen-tablet layer of the running system, behind the interface the pen input uses.
#include <memory>
#include <string>

#include "input/TabletLayer.h"

namespace platform {

// The production layer over Qt's tablet events; present on the display platforms
// that deliver them ("xcb", "wayland"). The QApplication must exist.
std::unique_ptr<TabletLayer> makeTabletLayer();
// The same with the platform name given, so tests on "offscreen" can drive the real
// conversion from QTabletEvents.
std::unique_ptr<TabletLayer> makeTabletLayer(const std::string& platformName);

}  // namespace platform
