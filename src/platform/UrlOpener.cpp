#include "platform/UrlOpener.h"

#include <QDesktopServices>

bool DesktopUrlOpener::openUrl(const QUrl& url) { return QDesktopServices::openUrl(url); }

UrlOpener& desktopUrlOpener() {
  static DesktopUrlOpener opener;
  return opener;
}
