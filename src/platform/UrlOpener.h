#pragma once
// Opening a web page or local document in the user's browser.
#include <QUrl>

namespace platform {

class UrlOpener {
 public:
  virtual ~UrlOpener() = default;
  // True when the page was handed to a browser.
  virtual bool openUrl(const QUrl& url) = 0;
};

// QDesktopServices: the desktop's preferred browser.
class DesktopUrlOpener final : public UrlOpener {
 public:
  bool openUrl(const QUrl& url) override;
};

}  // namespace platform
