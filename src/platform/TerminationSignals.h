#pragma once
// SIGTERM, SIGINT and SIGHUP close the given window the normal way, so its shut-down
// (stroke file, settings) runs instead of the process simply ending.
class QWidget;

namespace platform {

void closeOnTerminationSignals(QWidget* window);

}  // namespace platform
