#include "platform/ForeignWindow.h"

#include <QGuiApplication>
#include <xcb/xcb.h>

namespace platform {

bool showForeignWindow(uint32_t windowId) {
  if (windowId == 0 || QGuiApplication::platformName() != QLatin1String("xcb")) return false;
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
  if (!connection) return false;
  xcb_map_window(connection, windowId);
  xcb_flush(connection);
  return true;
}

}  // namespace platform
