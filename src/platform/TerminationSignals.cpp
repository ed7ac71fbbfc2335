#include "platform/TerminationSignals.h"

#include <QSocketNotifier>
#include <QWidget>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int g_signalPipe[2] = {-1, -1};

// Only async-signal-safe work here: one byte into the pipe.
void onSignal(int) {
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = ::write(g_signalPipe[1], &byte, 1);
}
}  // namespace

namespace platform {

void closeOnTerminationSignals(QWidget* window) {
  if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) != 0) return;
  auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, window);
  QObject::connect(notifier, &QSocketNotifier::activated, window, [window, notifier] {
    char byte;
    [[maybe_unused]] const ssize_t got = ::read(g_signalPipe[0], &byte, 1);
    notifier->setEnabled(false);
    window->close();
  });
  struct sigaction action = {};
  action.sa_handler = onSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) sigaction(signal, &action, nullptr);
}

}  // namespace platform
